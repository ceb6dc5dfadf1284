#pragma once

#include <vector>

#include "render/core/fountain_items.h"
#include "render/core/frame_data.h"

// The floor and the pen marker drawn in fixed-function GL, in the current
// model-view matrix (the camera's), lit like everything else.

// One quad in the floor's colour; it sets no normal, so GL's current one lights it.
void draw_floor_quad(const floor_quad& floor);

// GLUT's wire cubes, each in its colour, in order.
void draw_wire_cubes(const std::vector<wire_cube>& cubes);

// The floor, then the marker's cubes: what the frame draws before its cells.
void draw_scene(const frame_scene& scene);

// A recorded fountain, `corners` being the frame's: the burning cell's colour
// set and its particles drawn around the cell, textured with `texture`, in
// the state the fountain itself draws them in.
void draw_fountain_item(const fountain_item& item, const fountain_corner* corners, unsigned int texture);
