#pragma once

#include <cstdint>
#include <cstring>

#include "sim/edition.h"
#include "sim/repeat_map.h"
#include "sim/sleep_map.h"

constexpr int GRID_X = 100;
constexpr int GRID_Y = 50;  // vertical; y = 0 is the bottom layer
constexpr int GRID_Z = 100;
constexpr int GRID_CELLS = GRID_X * GRID_Y * GRID_Z;

// Fountains the renderer picks among for a burning cell's fountain_index.
constexpr int FOUNTAIN_COUNT = 5;

// One material, and, as a copy in a cell, the whole state of that cell.
// The field order is part of the program's interface.
struct ParticleType {
    char name[24];
    std::int32_t fountain_index;  // renderer's scratch slot for burning cells
    double density;
    std::int32_t id;
    double red;
    double green;
    double blue;
    std::int32_t burn_time;       // steps a burning particle still lasts
    double alpha;
    bool extinguishes;            // puts out a burning particle it is swapped with
    std::int32_t ignition_delay;  // -1 never ignites, N > 0 contacts to go, 0 burning
    std::int32_t phase;
    bool pressured;               // pressure token of liquids
};

inline bool is_burning(const ParticleType& p) { return p.ignition_delay == 0; }

// The voxel box and its type table. Huge (tens of megabytes): always made
// with new, and never copied, since it owns its table.
class world {
public:
#if GRAINVOX_EARLY_STAGE
    std::int32_t type_count;
#endif
    ParticleType* types;
    ParticleType grid[GRID_X][GRID_Y][GRID_Z];
    // Walks of the frame so far (see awake_sweep.h).
    std::uint64_t walks = 0;
    // What the frame walks may pass over; every write that changes a cell
    // tells it, and whoever writes the grid directly calls wake_all().
    sleep_map sleep;
    // Groups of blocks that the sweep passes over as each frame repeats the last there.
    repeat_map repeats;

    world();
    ~world();
    world(const world&) = delete;
    world& operator=(const world&) = delete;

    // Clamps the cell into the grid and stamps a fresh copy of row `type` there.
    void add_particle(int type, int x, int y, int z);
    ParticleType get_particle(int x, int y, int z) const;
    // Exchanges two cells, first putting out a burning one that meets an extinguisher.
    void swap(int x1, int y1, int z1, int x2, int y2, int z2);

    // For code that wrote the grid directly: no block may sleep before it is stepped again.
    void wake_all() { sleep.wake_all(); }

    // Advances the particle in one cell by one step (tint, burn, move, spread fire).
    void step(int x, int y, int z);
    void motion(int x, int y, int z);
#if GRAINVOX_HAS_GASES
    void gas_motion(int x, int y, int z);
#endif
    void spread_fire(int x, int y, int z);

    // The rules' one random choice, among `count` candidates: rand() % count,
    // noted as the current step's.
    int choose(int count);
    // Writes one field of a cell; a change only if its bytes differ, so a
    // rule that rewrites what is there lets the cell sleep.
    template <class Field>
    void set_field(ParticleType& cell, Field ParticleType::*field, Field value) {
        Field& held = cell.*field;
        if (std::memcmp(&held, &value, sizeof value) == 0) return;
        held = value;
        step_changed = true;
    }
    // Whether the rules of the current step changed a cell or drew a number,
    // whether they drew, and whether they moved a particle; step() tells the
    // maps once, for all of them.
    bool step_changed = false;
    bool step_drew = false;
    bool step_moved = false;

private:
    // The step's rules, before the map is told.
    void advance(int x, int y, int z);
};
