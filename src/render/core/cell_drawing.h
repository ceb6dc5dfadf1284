#pragma once

#include "effects/fountain.h"
#include "sim/world.h"

constexpr double CELL_CUBE_EDGE = 1.0;
constexpr double CELL_SPHERE_RADIUS = 0.75;
constexpr int CELL_SPHERE_SLICES = 7;
constexpr int CELL_SPHERE_STACKS = 7;
constexpr int GRAPHICS_SPHERES = 1;  // any other style draws cubes

// One of the FOUNTAIN_COUNT fountains, at random: one rand() draw.
int random_fountain();

// Picks one of the fountains at random for the burning cell at (x, y, z),
// records the pick in the cell as it is after its step, and returns it.
int pick_fountain(world& w, int x, int y, int z);

// Runs the world's sweep and draws each cell, as it was before its step, on
// its own: one of the FOUNTAIN_COUNT `fountains` when it was burning, else a
// sphere or a cube in its colour.
void draw_sweep_reference(world& w, int graphics, fountain* const* fountains);

// The same drawing for a frame in which the world stands still: every cell
// drawn as it stands, none stepped, and the world left as it was (a burning
// cell's fountain is drawn from rand() but not recorded in it).
void draw_still_reference(const world& w, int graphics, fountain* const* fountains);
