#pragma once

#include <memory>

#include "sim/world.h"

// Worlds to draw: each builder gives the same world every time it runs.
void build_sand_heap(world& w);
void build_water_under_oil(world& w);
void build_gas_cloud(world& w);
void build_burning_oil(world& w);
void build_filled_block(world& w);  // a large block of Sand under Water around the middle
void build_wall_and_glass(world& w);  // opaque and see-through cells that never move, interleaved

// Fills the box [x0, x1) x [y0, y1) x [z0, z1) with `type`.
void fill_box(world& w, int type, int x0, int x1, int y0, int y1, int z0, int z1);

// Cells whose contents differ between the two worlds, compared field by field.
int cells_differing(const world& a, const world& b);

// A new world with the same cells.
std::unique_ptr<world> copy_of(const world& w);

int burning_cells(const world& w);

// A frame as the program runs it: every cell stepped, and each burning one
// given a fountain as the drawing picks it.
void run_frame_picking_fountains(world& w);

// Empty cells as a save keeps them: without the fountain a fire picked for
// them, which no frame reads again.
void forget_empty_picks(world& w);
