#include "bench_scenes.h"

#include <cstdlib>

#include "render/core/cell_drawing.h"
#include "sim/sweep.h"
#include "sim/types.h"

void fill_box(world& w, int type, int x0, int x1, int y0, int y1, int z0, int z1) {
    for (int x = x0; x < x1; ++x)
        for (int y = y0; y < y1; ++y)
            for (int z = z0; z < z1; ++z) w.add_particle(type, x, y, z);
}

void build_sand_heap(world& w, int cells) {
    for (int y = 0; y < GRID_Y && cells > 0; ++y)
        for (int x = y; x < GRID_X - y && cells > 0; ++x)
            for (int z = y; z < GRID_Z - y && cells > 0; ++z, --cells) w.add_particle(TYPE_SAND, x, y, z);
}

void build_full_box(world& w) {
    fill_box(w, TYPE_SAND, 0, GRID_X, 0, 17, 0, GRID_Z);
    fill_box(w, TYPE_WATER, 0, GRID_X, 17, 34, 0, GRID_Z);
    fill_box(w, TYPE_OIL, 0, GRID_X, 34, GRID_Y, 0, GRID_Z);
}

void build_mixed_100k(world& w) {
    const int materials[] = {TYPE_SAND, TYPE_WATER, TYPE_OIL, TYPE_GLASS, TYPE_WALL, TYPE_SAND, TYPE_WATER,
#if GRAINVOX_HAS_GASES
                             TYPE_METHANE, TYPE_CARBON_DIOXIDE, TYPE_NITROGEN_DIOXIDE, TYPE_HYDROGEN_SULFIDE,
#endif
                             TYPE_WALL};
    const int material_count = sizeof materials / sizeof materials[0];
    int placed = 0;
    for (int x = 0; x < GRID_X; ++x)
        for (int y = 0; y < GRID_Y; ++y)
            for (int z = 0; z < GRID_Z; ++z) {
                const int cell = (x * GRID_Y + y) * GRID_Z + z;
                if (static_cast<unsigned>(cell) * 2654435761u % 5u != 0) continue;
                // A few burning cells, so that the fountains break the batches.
                const int type = placed % 500 == 0 ? TYPE_FIRE : materials[placed % material_count];
                w.add_particle(type, x, y, z);
                ++placed;
            }
}

void build_burnt_out_box(world& w) {
    constexpr int LOW = 20, HIGH = 80, DEPTH = 6, MOST_FRAMES = 2000;
    fill_box(w, TYPE_OIL, LOW, HIGH, 0, DEPTH, LOW, HIGH);
    fill_box(w, TYPE_FIRE, LOW, HIGH, DEPTH, DEPTH + 1, LOW, HIGH);
    std::srand(1);
    for (int frame = 0; frame < MOST_FRAMES; ++frame) {
        int live = 0;
        sweep_frame(w, [&w, &live](const ParticleType& before, int x, int y, int z) {
            ++live;
            if (is_burning(before)) pick_fountain(w, x, y, z);
        });
        if (live == 0) break;
    }
}

void build_water_pool(world& w) { fill_box(w, TYPE_WATER, 0, 50, 0, 40, 0, GRID_Z); }

void build_mixed_gases(world& w) {
#if GRAINVOX_HAS_GASES
    const int gases[] = {TYPE_METHANE, TYPE_HYDROGEN_SULFIDE, TYPE_CARBON_DIOXIDE, TYPE_NITROGEN_DIOXIDE};
    for (int x = 25; x < 75; ++x)
        for (int y = 20; y < 30; ++y)
            for (int z = 0; z < GRID_Z; ++z) w.add_particle(gases[(x + y + z) % 4], x, y, z);
#else
    (void)w;
#endif
}

void build_burning_oil(world& w) {
    fill_box(w, TYPE_OIL, 40, 60, 0, 10, 0, GRID_Z);
    for (int x = 40; x < 60; ++x)
        for (int y = 0; y < 10; ++y)
            for (int z = 0; z < GRID_Z; ++z) {
                ParticleType& p = w.grid[x][y][z];
                p.ignition_delay = 0;
                p.red = IGNITION_RED;
                p.green = IGNITION_GREEN;
                p.blue = IGNITION_BLUE;
                p.alpha = IGNITION_ALPHA;
            }
}
