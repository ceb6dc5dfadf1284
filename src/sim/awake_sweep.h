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
// plain walk would hand it. No run passed over holds a burning cell.
//
// The sweep passes over the blocks asleep in the world's sleep_map and the
// blocks of groups that repeat (repeat_map); the still walk over the blocks
// not written since the previous walk, and holding no burning cell. Both pass
// over runs only with `unchanged` true.

// The number of the next walk of this world: one more after each walk.
std::uint64_t walk_number(const world& w);

// One walk of either kind, row by row in the sweep's order: each row is cut
// at block borders; a block's part of the row is walked cell by cell unless
// the map lets it be passed over, and neighbouring parts passed over are
// handed to skip_run as one run.
template <bool Steps, class DrawCell, class SkipRun, class StartLayer>
void walk_awake(world& w, DrawCell&& draw_cell, SkipRun&& skip_run, StartLayer&& start_layer) {
    const std::uint64_t walk = w.walks;
    sleep_map& map = w.sleep;
    repeat_map& repeats = w.repeats;
    if constexpr (Steps)
        repeats.begin_sweep(map, walk);
    else
        repeats.begin_still(map);
    for (int y = 0; y < GRID_Y; ++y) {
        start_layer(y);
        const sleep_map::thresholds layer = map.enter_layer(walk, y);
        const int block_y = y / BLOCK_EDGE;
        for (int x = 0; x < GRID_X; ++x) {
            const int block_x = x / BLOCK_EDGE;
            const ParticleType* row = w.grid[x][y];
            const ParticleType* next_row = row_after(w, x, y);
            int run_begin = -1;  // start of the run passed over and not yet handed to skip_run
            for (int block_z = 0; block_z < sleep_map::BLOCKS_Z; ++block_z) {
                const int z_begin = block_z * BLOCK_EDGE;
                const int block = repeat_map::block_index(block_x, block_y, block_z);
                const bool pass_over = Steps ? map.asleep(block_x, block_y, block_z, layer) || repeats.repeating(block)
                                             : map.unchanged_and_cold(block_x, block_y, block_z, layer);
                if (pass_over) {
                    if (run_begin < 0) run_begin = z_begin;
                    continue;
                }
                if (run_begin >= 0) {
                    skip_run(x, y, run_begin, z_begin, true);
                    run_begin = -1;
                }
                bool stepped = false;  // a part of a row with no cell to step reads nothing
                for (int z = z_begin; z < z_begin + BLOCK_EDGE; ++z) {
                    prefetch_id(next_row[z]);
                    if (row[z].id == TYPE_ERASER) continue;
                    const ParticleType cell = row[z];
                    if (is_burning(cell)) map.note_burning(block_x, block_y, block_z);
                    if constexpr (Steps) {
                        if (!stepped) {
                            stepped = true;
                            if (repeats.beside_repeating(block)) repeats.catch_up(w, x, y, block_z);
                            repeats.note_walked(block);
                        }
                        w.step(x, y, z);
                    }
                    draw_cell(cell, x, y, z);
                }
            }
            if (run_begin >= 0) skip_run(x, y, run_begin, GRID_Z, true);
        }
    }
    map.end_walk(walk, Steps);
    if constexpr (Steps) repeats.end_sweep(w);
    ++w.walks;
}

template <class DrawCell, class SkipRun, class StartLayer>
void sweep_awake(world& w, DrawCell&& draw_cell, SkipRun&& skip_run, StartLayer&& start_layer) {
    walk_awake<true>(w, draw_cell, skip_run, start_layer);
}

template <class DrawCell, class SkipRun, class StartLayer>
void still_awake(world& w, DrawCell&& draw_cell, SkipRun&& skip_run, StartLayer&& start_layer) {
    walk_awake<false>(w, draw_cell, skip_run, start_layer);
}

// The headless frame: the world after it, and rand(), as after sweep_frame.
void sweep_awake(world& w);
