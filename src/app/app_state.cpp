#include "app/app_state.h"

#include <algorithm>

#include "app/stage.h"
#include "render/core/lighting.h"

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

const float light_ambient[4] = {LIGHT_AMBIENT[0], LIGHT_AMBIENT[1], LIGHT_AMBIENT[2], LIGHT_AMBIENT[3]};
const float light_diffuse[4] = {LIGHT_DIFFUSE[0], LIGHT_DIFFUSE[1], LIGHT_DIFFUSE[2], LIGHT_DIFFUSE[3]};
const float light_specular[4] = {LIGHT_SPECULAR[0], LIGHT_SPECULAR[1], LIGHT_SPECULAR[2], LIGHT_SPECULAR[3]};
const float light_position[4] = {LIGHT_POSITION[0], LIGHT_POSITION[1], LIGHT_POSITION[2], LIGHT_POSITION[3]};
const float mat_ambient[4] = {MATERIAL_AMBIENT[0], MATERIAL_AMBIENT[1], MATERIAL_AMBIENT[2], MATERIAL_AMBIENT[3]};
const float mat_diffuse[4] = {MATERIAL_DIFFUSE[0], MATERIAL_DIFFUSE[1], MATERIAL_DIFFUSE[2], MATERIAL_DIFFUSE[3]};
const float mat_specular[4] = {MATERIAL_SPECULAR[0], MATERIAL_SPECULAR[1], MATERIAL_SPECULAR[2],
                               MATERIAL_SPECULAR[3]};
const float high_shininess[1] = {MATERIAL_SHININESS};

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
