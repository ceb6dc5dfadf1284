#pragma once

#include "sim/world.h"

class fast_renderer;

// The frame: pen, camera, floor, pen marker, one sweep of the world with its
// cells drawn, the material name, the fountains, and the buffer swap.

constexpr double MIN_CAMERA_DISTANCE = 10.0;
constexpr double FULL_TURN = 360.0;

// Display callback.
void display();

// Writes text at the raster position two cells beyond the pen on each axis.
void render_text(const char* text);

// Keeps the camera distance at its minimum and brings each angle back
// towards [0, 360) by at most one turn; the results are written back.
void limit_camera();

// Loads the camera's view onto the model-view matrix (after limit_camera).
void place_camera();

// The batched cell drawing that every frame uses.
fast_renderer& cell_renderer();

// Writes text at the current raster position, in the status font.
void write_characters(const char* text);

// Runs the world's sweep and draws every cell it hands over.
void draw_sweep(world& w, int graphics);

// The floor, the pen marker and the cells, stepped or standing still, all
// drawn by the cell renderer.
void draw_scene_and_cells(bool steps);
