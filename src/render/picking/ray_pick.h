#pragma once

#include "render/core/view_math.h"
#include "sim/world.h"

// Picking without reading depth back: the ray from the camera through the
// pointer, walked cell by cell through the grid (with a GL that cannot read
// its depth buffer, as in a browser). It lands where the desktop program's
// depth read lands: on the first surface drawn under the pointer (a cube or
// a sphere of a cell, by `graphics`, or the floor), burning cells letting it
// through as their fountains leave no depth; over nothing, on the far-plane
// point under the pointer.

// The grid column under window pixel (pointer_x, pointer_y), counted from
// the top left like the pointer events, in `view` (the camera the last frame
// was drawn with). The column is truncated toward zero and kept inside the
// grid, as the desktop picking does. False, leaving the results alone, when
// the view cannot be inverted or the window is empty.
bool ray_pick(const world& w, int graphics, const frame_view& view, int pointer_x, int pointer_y, int& cell_x,
              int& cell_z);
