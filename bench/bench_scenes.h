#pragma once

#include "sim/world.h"

// Scenes the frame and scene-file timings share, laid into an empty box.

// Fills the box [x0, x1) x [y0, y1) x [z0, z1) with `type`.
void fill_box(world& w, int type, int x0, int x1, int y0, int y1, int z0, int z1);

// A heap with slopes of one cell per layer, which Sand holds: layers shrink
// from the full floor up until `cells` grains are placed.
void build_sand_heap(world& w, int cells);

// Every cell full: Sand under Water under Oil.
void build_full_box(world& w);

// About 100,000 cells: every fifth cell of the box, by a hash of its place,
// holds a particle of the materials in turn, and a few of them burn.
void build_mixed_100k(world& w);

// A 60 x 6 x 60 block of Oil lit from above and run, the fountains picked as
// the program picks them, until nothing burns or is left: an empty box whose
// cells that once burned kept the fountain picked for them.
void build_burnt_out_box(world& w);

// The sweep timings' moving scenes, each laid into an empty box:
// 200,000 Water filling half the floor to 40 layers, spreading into the other half under its own pressure;
void build_water_pool(world& w);
// 50,000 gas particles of every kind, mixed in a ten-layer band (none in a stage without gases);
void build_mixed_gases(world& w);
// 20,000 Oil, all of it alight, in a pan on the floor.
void build_burning_oil(world& w);
