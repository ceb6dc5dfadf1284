#include "scenes.h"

#include <cstdlib>
#include <cstring>

#include "sim/sweep.h"

void fill_box(world& w, int type, int x0, int x1, int y0, int y1, int z0, int z1) {
    for (int x = x0; x < x1; ++x)
        for (int y = y0; y < y1; ++y)
            for (int z = z0; z < z1; ++z) w.add_particle(type, x, y, z);
}

void build_sand_heap(world& w) {
    // A stepped pyramid that slides into a heap over the frames.
    for (int y = 0; y < 12; ++y) fill_box(w, TYPE_SAND, 38 + y, 62 - y, y, y + 1, 40 + y, 64 - y);
}

void build_water_under_oil(world& w) {
    fill_box(w, TYPE_WALL, 30, 70, 0, 1, 30, 70);
    fill_box(w, TYPE_WATER, 32, 68, 1, 6, 32, 68);
    fill_box(w, TYPE_OIL, 32, 68, 6, 9, 32, 68);
    fill_box(w, TYPE_SAND, 45, 55, 12, 14, 45, 55);
}

void build_gas_cloud(world& w) {
#if GRAINVOX_HAS_GASES
    const int gases[] = {TYPE_METHANE, TYPE_HYDROGEN_SULFIDE, TYPE_CARBON_DIOXIDE, TYPE_NITROGEN_DIOXIDE};
    for (int x = 40; x < 60; ++x)
        for (int y = 15; y < 30; ++y)
            for (int z = 40; z < 60; ++z) w.add_particle(gases[(x + 2 * y + 3 * z) % 4], x, y, z);
#endif
    fill_box(w, TYPE_GLASS, 35, 65, 0, 2, 35, 65);
    fill_box(w, TYPE_WALL, 45, 55, 2, 10, 45, 55);
}

void build_burning_oil(world& w) {
    fill_box(w, TYPE_OIL, 35, 65, 0, 3, 35, 65);
    fill_box(w, TYPE_FIRE, 45, 55, 3, 4, 45, 55);
    fill_box(w, TYPE_WATER, 36, 40, 8, 10, 36, 64);
}

void build_filled_block(world& w) {
    fill_box(w, TYPE_SAND, 30, 70, 0, 12, 30, 70);
    fill_box(w, TYPE_WATER, 30, 70, 12, 16, 30, 70);
    fill_box(w, TYPE_GLASS, 40, 60, 16, 17, 40, 60);
}

void build_wall_and_glass(world& w) {
    // Mostly Wall with scattered Glass and gaps, so that opaque neighbours
    // often have a see-through cell between them in the drawing order.
    for (int x = 40; x < 60; ++x)
        for (int y = 0; y < 12; ++y)
            for (int z = 40; z < 60; ++z) {
                const int pattern = (x * 7 + y * 13 + z * 5) % 11;
                if (pattern < 7) w.add_particle(TYPE_WALL, x, y, z);
                else if (pattern < 10) w.add_particle(TYPE_GLASS, x, y, z);
            }
}

int cells_differing(const world& a, const world& b) {
    int differing = 0;
    for (int x = 0; x < GRID_X; ++x)
        for (int y = 0; y < GRID_Y; ++y)
            for (int z = 0; z < GRID_Z; ++z) {
                const ParticleType& p = a.grid[x][y][z];
                const ParticleType& q = b.grid[x][y][z];
                const bool same = std::strcmp(p.name, q.name) == 0 && p.fountain_index == q.fountain_index &&
                                  p.density == q.density && p.id == q.id && p.red == q.red &&
                                  p.green == q.green && p.blue == q.blue && p.burn_time == q.burn_time &&
                                  p.alpha == q.alpha && p.extinguishes == q.extinguishes &&
                                  p.ignition_delay == q.ignition_delay && p.phase == q.phase &&
                                  p.pressured == q.pressured;
                if (!same) ++differing;
            }
    return differing;
}

std::unique_ptr<world> copy_of(const world& w) {
    std::unique_ptr<world> copy(new world());
    std::memcpy(copy->grid, w.grid, sizeof w.grid);
    return copy;
}

int burning_cells(const world& w) {
    int burning = 0;
    for (int x = 0; x < GRID_X; ++x)
        for (int y = 0; y < GRID_Y; ++y)
            for (int z = 0; z < GRID_Z; ++z) burning += is_burning(w.grid[x][y][z]);
    return burning;
}

void run_frame_picking_fountains(world& w) {
    sweep_frame(w, [&w](const ParticleType& before, int x, int y, int z) {
        if (is_burning(before)) w.grid[x][y][z].fountain_index = std::rand() % FOUNTAIN_COUNT;
    });
}

void forget_empty_picks(world& w) {
    for (auto& plane : w.grid)
        for (auto& row : plane)
            for (ParticleType& p : row)
                if (p.id == TYPE_ERASER) p.fountain_index = w.types[TYPE_ERASER].fountain_index;
}
