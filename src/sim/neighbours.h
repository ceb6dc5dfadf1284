#pragma once

#include "sim/world.h"

// The neighbour scans of the rules. Each visits its neighbours in the one
// order its rule depends on, tests the grid bounds, and only then hands the
// coordinates over; no scan wraps around a face of the box.

inline bool inside_columns(int x, int z) {
    return x >= 0 && x < GRID_X && z >= 0 && z < GRID_Z;
}

inline bool inside_grid(int x, int y, int z) {
    return inside_columns(x, z) && y >= 0 && y < GRID_Y;
}

// The eight horizontal neighbours of column (x, z): dx outer, dz inner.
template <class Visit>
void for_each_column_neighbour(int x, int z, Visit&& visit) {
    for (int dx = -1; dx <= 1; ++dx)
        for (int dz = -1; dz <= 1; ++dz) {
            if (dx == 0 && dz == 0) continue;
            if (!inside_columns(x + dx, z + dz)) continue;
            visit(x + dx, z + dz);
        }
}

// The neighbours within layers y + dy_low .. y + dy_high: dx outer, dz
// middle, dy inner (the order of the gas scan).
template <class Visit>
void for_each_gas_neighbour(int x, int y, int z, int dy_low, int dy_high, Visit&& visit) {
    for (int dx = -1; dx <= 1; ++dx)
        for (int dz = -1; dz <= 1; ++dz)
            for (int dy = dy_low; dy <= dy_high; ++dy) {
                if (dx == 0 && dy == 0 && dz == 0) continue;
                if (!inside_grid(x + dx, y + dy, z + dz)) continue;
                visit(x + dx, y + dy, z + dz);
            }
}

// All 26 neighbours: dx outer, dy middle, dz inner. The scan stops as soon
// as visit(nx, ny, nz, dy) returns false.
template <class Visit>
void for_each_neighbour_until(int x, int y, int z, Visit&& visit) {
    for (int dx = -1; dx <= 1; ++dx)
        for (int dy = -1; dy <= 1; ++dy)
            for (int dz = -1; dz <= 1; ++dz) {
                if (dx == 0 && dy == 0 && dz == 0) continue;
                if (!inside_grid(x + dx, y + dy, z + dz)) continue;
                if (!visit(x + dx, y + dy, z + dz, dy)) return;
            }
}
