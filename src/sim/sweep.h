#pragma once

#include "sim/world.h"

// The scan is bound by memory, and rows lie 520 KB apart, too far for the
// hardware to guess: each cell's id in the row the sweep visits next is
// asked for while the current row is scanned.
inline void prefetch_id(const ParticleType& cell) {
#if defined(__GNUC__)
    __builtin_prefetch(&cell.id);
#else
    (void)cell;
#endif
}

// The row the sweep visits after row (x, y); the last row has none, and gives itself.
inline const ParticleType* row_after(const world& w, int x, int y) {
    if (x + 1 < GRID_X) return w.grid[x + 1][y];
    return y + 1 < GRID_Y ? w.grid[0][y + 1] : w.grid[x][y];
}

// Visits every non-empty cell in the sweep's order, layers bottom up, then x,
// then z; with Steps, steps each and hands draw_cell the cell as it was
// before its step, else hands it the cell as it stands. start_layer(y) is
// called as the walk enters layer y.
template <bool Steps, class World, class DrawCell, class StartLayer>
void walk_cells(World& w, DrawCell&& draw_cell, StartLayer&& start_layer) {
    for (int y = 0; y < GRID_Y; ++y) {
        start_layer(y);
        for (int x = 0; x < GRID_X; ++x) {
            const ParticleType* row = w.grid[x][y];
            const ParticleType* next_row = row_after(w, x, y);
            for (int z = 0; z < GRID_Z; ++z) {
                prefetch_id(next_row[z]);
                if (row[z].id == TYPE_ERASER) continue;
                if constexpr (Steps) {
                    const ParticleType before = row[z];
                    w.step(x, y, z);
                    draw_cell(before, x, y, z);
                } else {
                    draw_cell(row[z], x, y, z);
                }
            }
        }
    }
}

// One frame of the simulation: every non-empty cell is stepped once, in the
// walk's order. Nothing marks a particle as moved, so one that a rule carries
// ahead of the sweep is stepped again when the sweep gets there. Right after
// each step, draw_cell(before, x, y, z) is handed the cell as it was before
// that step; start_layer(y) is called as the sweep enters layer y.
template <class DrawCell, class StartLayer>
void sweep_frame(world& w, DrawCell&& draw_cell, StartLayer&& start_layer) {
    walk_cells<true>(w, draw_cell, start_layer);
}

template <class DrawCell>
void sweep_frame(world& w, DrawCell&& draw_cell) {
    sweep_frame(w, draw_cell, [](int) {});
}

// The sweep with nothing to draw, for headless callers.
void sweep_frame(world& w);

// A frame in which the world stands still: every non-empty cell is handed to
// draw_cell as it stands, in the sweep's order, and none is stepped.
template <class DrawCell, class StartLayer>
void still_frame(const world& w, DrawCell&& draw_cell, StartLayer&& start_layer) {
    walk_cells<false>(w, draw_cell, start_layer);
}

template <class DrawCell>
void still_frame(const world& w, DrawCell&& draw_cell) {
    still_frame(w, draw_cell, [](int) {});
}
