#pragma once

#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <ostream>
#include <vector>
#include <algorithm>

#include "sim/world.h"

// Helpers shared by the simulation tests. A world is tens of megabytes, so
// every test makes its own on the heap.

inline std::unique_ptr<world> make_world() { return std::make_unique<world>(); }

struct cell {
    int x, y, z;
    bool operator==(const cell& o) const { return x == o.x && y == o.y && z == o.z; }
};

inline std::ostream& operator<<(std::ostream& os, const cell& c) {
    return os << "(" << c.x << ", " << c.y << ", " << c.z << ")";
}

inline ParticleType& at(world& w, cell c) { return w.grid[c.x][c.y][c.z]; }

inline int id_at(const world& w, cell c) { return w.grid[c.x][c.y][c.z].id; }

// Byte-for-byte equality of two records, padding aside: compares field by field.
inline bool same_record(const ParticleType& a, const ParticleType& b) {
    return std::strcmp(a.name, b.name) == 0 && a.fountain_index == b.fountain_index &&
           a.density == b.density && a.id == b.id && a.red == b.red && a.green == b.green &&
           a.blue == b.blue && a.burn_time == b.burn_time && a.alpha == b.alpha &&
           a.extinguishes == b.extinguishes && a.ignition_delay == b.ignition_delay &&
           a.phase == b.phase && a.pressured == b.pressured;
}

// Empties every cell of the box [lo, hi] (clipped to the grid).
inline void clear_box(world& w, cell lo, cell hi) {
    for (int x = std::max(lo.x, 0); x <= std::min(hi.x, GRID_X - 1); ++x)
        for (int y = std::max(lo.y, 0); y <= std::min(hi.y, GRID_Y - 1); ++y)
            for (int z = std::max(lo.z, 0); z <= std::min(hi.z, GRID_Z - 1); ++z)
                w.grid[x][y][z] = w.types[TYPE_ERASER];
}

// Fills every cell of the box [lo, hi] (clipped to the grid) with `type`.
inline void fill_box(world& w, int type, cell lo, cell hi) {
    for (int x = std::max(lo.x, 0); x <= std::min(hi.x, GRID_X - 1); ++x)
        for (int y = std::max(lo.y, 0); y <= std::min(hi.y, GRID_Y - 1); ++y)
            for (int z = std::max(lo.z, 0); z <= std::min(hi.z, GRID_Z - 1); ++z)
                w.grid[x][y][z] = w.types[type];
}

inline int count_type(const world& w, int type) {
    int n = 0;
    for (int x = 0; x < GRID_X; ++x)
        for (int y = 0; y < GRID_Y; ++y)
            for (int z = 0; z < GRID_Z; ++z) n += w.grid[x][y][z].id == type;
    return n;
}

// Cells holding anything but Eraser.
inline int count_particles(const world& w) {
    return GRID_X * GRID_Y * GRID_Z - count_type(w, TYPE_ERASER);
}

// Finds the one cell of the box [lo, hi] (the whole grid by default)
// holding `type`; fails the test if there is not exactly one.
inline cell find_only(const world& w, int type, cell lo = {0, 0, 0},
                      cell hi = {GRID_X - 1, GRID_Y - 1, GRID_Z - 1}) {
    cell found{-1, -1, -1};
    int n = 0;
    for (int x = lo.x; x <= hi.x; ++x)
        for (int y = lo.y; y <= hi.y; ++y)
            for (int z = lo.z; z <= hi.z; ++z)
                if (w.grid[x][y][z].id == type) {
                    found = {x, y, z};
                    ++n;
                }
    EXPECT_EQ(n, 1) << "expected exactly one particle of type " << type;
    return found;
}

// What the choice `rand() % n` will pick right after srand(seed).
inline int pick_after_seed(unsigned seed, int n) {
    std::srand(seed);
    return std::rand() % n;
}

// The value rand() yields after `calls` draws from srand(seed).
inline int rand_value_after(unsigned seed, int calls) {
    std::srand(seed);
    for (int i = 0; i < calls; ++i) std::rand();
    return std::rand();
}

// Checks, right after an operation that began at srand(seed), that exactly
// `calls` numbers were drawn. Consumes one draw.
inline void expect_rand_calls(unsigned seed, int calls) {
    const int next = std::rand();
    EXPECT_EQ(next, rand_value_after(seed, calls)) << "rand() was not called exactly " << calls << " time(s)";
}

// Seeds, one per index, such that `rand() % n` right after srand(seed) is
// that index: seeds[r] picks candidate r.
inline std::vector<unsigned> seed_per_index(int n) {
    std::vector<unsigned> seeds(n, 0);
    int covered = 0;
    for (unsigned s = 1; covered < n && s < 1000000; ++s) {
        const int r = pick_after_seed(s, n);
        if (seeds[r] == 0) {
            seeds[r] = s;
            ++covered;
        }
    }
    EXPECT_EQ(covered, n) << "no seed found for some index";
    return seeds;
}
