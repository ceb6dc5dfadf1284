#pragma once

#include "sim/sweep.h"

// The frame walks that may pass over cells whose step would change nothing
// and draw no random number. Their effect on the world and on rand() is
// exactly the plain walks' (sweep_frame, still_frame); what differs is only
// what the caller is told about the cells passed over.
//
// Both walks go in the sweep's order. For every non-empty cell they step (or,
// still, visit) they call draw_cell(cell, x, y, z) as the plain walks do. In
// place of the cells of a run [z_begin, z_end) of row (x, y) that they pass
// over, they call skip_run(x, y, z_begin, z_end, unchanged) at the moment the
// plain walk would have reached them; empty cells may be inside a run.
// `unchanged` promises that those cells hold exactly what they held when the
// previous walk of this world (its number is walk_number() - 1) reached them;
// when it is false the caller reads them as they stand, which is what the
// plain walk would hand it.

// The number of the next walk of this world: one more after each walk.
std::uint64_t walk_number(const world& w);

template <class DrawCell, class SkipRun, class StartLayer>
void sweep_awake(world& w, DrawCell&& draw_cell, SkipRun&& skip_run, StartLayer&& start_layer) {
    (void)skip_run;
    sweep_frame(w, draw_cell, start_layer);
    ++w.walks;
}

template <class DrawCell, class SkipRun, class StartLayer>
void still_awake(world& w, DrawCell&& draw_cell, SkipRun&& skip_run, StartLayer&& start_layer) {
    (void)skip_run;
    still_frame(w, draw_cell, start_layer);
    ++w.walks;
}

// The headless frame: the world after it, and rand(), as after sweep_frame.
void sweep_awake(world& w);
