#pragma once

#include "sim/world.h"

// The boxes of the scene files in data/, which the format-1 writer (the one
// before the compact format) saved from exactly these builders. Each builder
// gives the same box every time it runs: loading the file must give it too.

// One cell of every material in a row, one of them burning, and an empty
// cell that kept a fountain pick.
void build_old_row(world& w);

// A small camp fire: Oil on a Wall floor lit from above, a Water pool under
// pressure beside it, a puff of each gas; run 25 frames as the program runs
// them, fountains picked.
void build_old_campfire(world& w);

// The files, in data/, and their builders; the empty box has none.
struct old_scene {
    const char* file;
    void (*build)(world&);
};
extern const old_scene OLD_SCENES[3];
