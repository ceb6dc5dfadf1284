#include "sim/world.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <utility>

#include "sim/types.h"

world::world()
#if GRAINVOX_EARLY_STAGE
    : type_count(TYPE_COUNT), types(new ParticleType[TYPE_COUNT])
#else
    : types(new ParticleType[TYPE_COUNT])
#endif
{
    fill_type_table(types);
    // An empty box: every cell holds a copy of the Eraser row.
    for (int x = 0; x < GRID_X; ++x)
        for (int y = 0; y < GRID_Y; ++y)
            for (int z = 0; z < GRID_Z; ++z) grid[x][y][z] = types[TYPE_ERASER];
}

world::~world() { delete[] types; }

void world::add_particle(int type, int x, int y, int z) {
    x = std::clamp(x, 0, GRID_X - 1);
    y = std::clamp(y, 0, GRID_Y - 1);
    z = std::clamp(z, 0, GRID_Z - 1);
    // The pen stamps the same cells frame after frame: only a real change wakes them.
    if (std::memcmp(&grid[x][y][z], &types[type], sizeof(ParticleType)) == 0) return;
    grid[x][y][z] = types[type];
    sleep.note_change(x, y, z);
}

ParticleType world::get_particle(int x, int y, int z) const { return grid[x][y][z]; }

void world::swap(int x1, int y1, int z1, int x2, int y2, int z2) {
    ParticleType& a = grid[x1][y1][z1];
    ParticleType& b = grid[x2][y2][z2];
    // A burning particle meeting an extinguisher is destroyed; the
    // extinguisher then moves into its cell and leaves an empty one behind.
    if (is_burning(a) && b.extinguishes)
        a = types[TYPE_ERASER];
    else if (is_burning(b) && a.extinguishes)
        b = types[TYPE_ERASER];
    std::swap(a, b);
    step_changed = true;
    step_moved = true;
}

int world::choose(int count) {
    step_changed = true;
    step_drew = true;
    return std::rand() % count;
}

// The rules write only within one cell of (x, y, z): the map is told once.
void world::step(int x, int y, int z) {
    step_changed = false;
    step_drew = false;
    step_moved = false;
    advance(x, y, z);
    if (!step_changed) return;
    sleep.note_step(x, y, z);
    repeats.note_step(x, y, z, step_drew, step_moved);
}

void world::advance(int x, int y, int z) {
    ParticleType& cell = grid[x][y][z];

    if (cell.id == TYPE_WATER)
        set_field(cell, &ParticleType::green, cell.pressured ? PRESSURED_WATER_GREEN : WATER_GREEN);

    if (is_burning(cell)) {
        set_field(cell, &ParticleType::burn_time, cell.burn_time - 1);
        if (cell.burn_time < 0) {
            cell = types[TYPE_ERASER];
            return;
        }
    }

#if GRAINVOX_HAS_GASES
    if (cell.phase == PHASE_GAS)
        gas_motion(x, y, z);
    else
#endif
        motion(x, y, z);

    // The cell may now hold whatever the motion rule exchanged into it.
    if (is_burning(grid[x][y][z])) spread_fire(x, y, z);
}
