#pragma once

#include "effects/fountain.h"
#include "sim/world.h"

// The program's state: plain globals shared by the GLUT callbacks, which all
// run on the one GLUT thread.

extern world* w;                    // the one simulation world
extern fountain* f[FOUNTAIN_COUNT];  // the effects that show burning cells

extern int windx, windy;  // window size in pixels

// The pen cell; every writer keeps it inside the grid.
extern int point_x, point_y, point_z;
extern int selected_type;  // type id the pen places
extern bool sand_on;       // left button held: the pen is applied every frame
extern bool camera_on;     // right button held: motion orbits the camera
extern int graphics;       // 0 cubes, 1 spheres
extern int pen_size;       // 1..7, or 0 between two applications of a size-1 pen

extern int mouse_x, mouse_y;  // previous pointer position, origin top left

// The camera orbit around the middle of the floor: elevation and azimuth in
// degrees, distance in cells.
extern double polar_x, polar_y, polar_d;

extern const float light_ambient[4];
extern const float light_diffuse[4];
extern const float light_specular[4];
extern const float light_position[4];
extern const float mat_ambient[4];
extern const float mat_diffuse[4];
extern const float mat_specular[4];
extern const float high_shininess[1];

// Pen and camera limits, and the start-up values of the state.
constexpr int PEN_SIZE_MIN = 1;
constexpr int PEN_SIZE_MAX = 7;
constexpr int START_PEN_SIZE = 3;
constexpr int START_POINT_Y = GRID_Y / 2;
constexpr double START_ELEVATION = 20.0;
constexpr double START_AZIMUTH = 0.0;
constexpr double START_DISTANCE = 100.0;
constexpr int START_WINDOW_WIDTH = 640;
constexpr int START_WINDOW_HEIGHT = 480;

// Gives the application state its start values (the world and fountains aside).
void set_start_values();

// Keeps the pen cell inside the grid.
void clamp_pen_cell();
