#pragma once

// One application of the pen at the pen cell, by its size and the phase of
// the selected type: a single cell, a cube (full or a shell), or a scatter.
void add_sand();

// The cube shape of the pen for a phase: whether it leaves its inside alone
// (the stages differ: see stage.h).
bool pen_builds_shell(int phase);
