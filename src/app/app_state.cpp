#include "app/app_state.h"

#include <algorithm>

#include "app/stage.h"

world* w;
fountain* f[FOUNTAIN_COUNT];

int windx, windy;

int point_x, point_y, point_z;
int selected_type;
bool sand_on;
bool camera_on;
int graphics;
int pen_size;

int mouse_x, mouse_y;

double polar_x, polar_y, polar_d;

const float light_ambient[4] = {0.0f, 0.0f, 0.0f, 1.0f};
const float light_diffuse[4] = {1.0f, 1.0f, 1.0f, 1.0f};
const float light_specular[4] = {1.0f, 1.0f, 1.0f, 1.0f};
const float light_position[4] = {2.0f, 5.0f, 5.0f, 0.0f};  // w = 0: directional
const float mat_ambient[4] = {0.7f, 0.7f, 0.7f, 1.0f};
const float mat_diffuse[4] = {0.8f, 0.8f, 0.8f, 1.0f};
const float mat_specular[4] = {1.0f, 1.0f, 1.0f, 1.0f};
const float high_shininess[1] = {50.0f};

void set_start_values() {
    sand_on = false;
    camera_on = false;
    pen_size = START_PEN_SIZE;
    graphics = 0;
    polar_x = START_ELEVATION;
    polar_y = START_AZIMUTH;
    polar_d = START_DISTANCE;
    point_x = 0;
    point_y = START_POINT_Y;
    point_z = 0;
    set_stage_start_values();
}

void clamp_pen_cell() {
    point_x = std::clamp(point_x, 0, GRID_X - 1);
    point_y = std::clamp(point_y, 0, GRID_Y - 1);
    point_z = std::clamp(point_z, 0, GRID_Z - 1);
}
