#include <array>
#include <cstdlib>

#include "sim/sweep.h"
#include "sim_test_support.h"

namespace {

using census = std::array<int, TYPE_COUNT>;

census take_census(const world& w) {
    census c{};
    for (int x = 0; x < GRID_X; ++x)
        for (int y = 0; y < GRID_Y; ++y)
            for (int z = 0; z < GRID_Z; ++z) ++c[w.grid[x][y][z].id];
    return c;
}

// Every cell still holds a record of its own type, changed only in the
// fields the rules may change.
int corrupted_cells(const world& w) {
    int bad = 0;
    for (int x = 0; x < GRID_X; ++x)
        for (int y = 0; y < GRID_Y; ++y)
            for (int z = 0; z < GRID_Z; ++z) {
                const ParticleType& c = w.grid[x][y][z];
                if (c.id < 0 || c.id >= TYPE_COUNT) {
                    ++bad;
                    continue;
                }
                const ParticleType& row = w.types[c.id];
                const bool liquid = row.phase == PHASE_LIQUID;
                if (c.phase != row.phase || c.density != row.density || (c.pressured && !liquid) ||
                    std::strcmp(c.name, row.name) != 0 || c.burn_time > row.burn_time)
                    ++bad;
            }
    return bad;
}

// A mixed scene of a few thousand particles in random places, the seed
// deciding which. `with_fire` adds some Fire.
void scatter_scene(world& w, unsigned seed, bool with_fire) {
    std::srand(seed);
    std::vector<int> kinds = {TYPE_SAND, TYPE_OIL, TYPE_WATER, TYPE_GLASS, TYPE_WALL};
#if GRAINVOX_HAS_GASES
    kinds.insert(kinds.end(), {TYPE_METHANE, TYPE_HYDROGEN_SULFIDE, TYPE_CARBON_DIOXIDE, TYPE_NITROGEN_DIOXIDE});
#endif
    if (with_fire) kinds.push_back(TYPE_FIRE);
    for (int i = 0; i < 3000; ++i) {
        const int type = kinds[std::rand() % kinds.size()];
        // Crowd them into a corner block, edges of the box included.
        w.add_particle(type, std::rand() % 30 - 2, std::rand() % GRID_Y, std::rand() % 30 + 72);
    }
    // A pool and a slab to make pressure and heaps.
    fill_box(w, TYPE_WATER, {60, 0, 0}, {75, 3, 15});
    fill_box(w, TYPE_SAND, {62, 20, 2}, {70, 22, 10});
}

TEST(Invariants, WithoutFireEveryMaterialIsConserved) {
    auto w = make_world();
    scatter_scene(*w, 2024, false);
    const census start = take_census(*w);
    for (int frame = 1; frame <= 1000; ++frame) {
        sweep_frame(*w);
        if (frame % 250 == 0) {
            ASSERT_EQ(take_census(*w), start) << "frame " << frame;
            ASSERT_EQ(corrupted_cells(*w), 0) << "frame " << frame;
        }
    }
}

TEST(Invariants, WithFireNothingIsCreatedAndRecordsStayWhole) {
    auto w = make_world();
    scatter_scene(*w, 77, true);
    const census start = take_census(*w);
    for (int frame = 1; frame <= 300; ++frame) sweep_frame(*w);
    const census end = take_census(*w);
    // Fire only destroys: no material but Eraser gains particles.
    for (int t = 1; t < TYPE_COUNT; ++t) EXPECT_LE(end[t], start[t]) << "type " << t;
    EXPECT_EQ(corrupted_cells(*w), 0);
    // A burning fire of the table lasts 50 steps: all of it is gone by now.
    EXPECT_EQ(end[TYPE_FIRE], 0);
}

TEST(Invariants, SandEndsAtRestOnTheFloor) {
    auto w = make_world();
    fill_box(*w, TYPE_SAND, {40, 30, 40}, {44, 34, 44});
    for (int frame = 0; frame < 200; ++frame) sweep_frame(*w);
    EXPECT_EQ(count_type(*w, TYPE_SAND), 125);
    // Every grain rests on the floor or on another grain.
    for (int x = 0; x < GRID_X; ++x)
        for (int y = 1; y < GRID_Y; ++y)
            for (int z = 0; z < GRID_Z; ++z)
                if (w->grid[x][y][z].id == TYPE_SAND) {
                    EXPECT_EQ(w->grid[x][y - 1][z].id, TYPE_SAND);
                }
    // And the heap is settled: one more frame changes nothing.
    auto snapshot = make_world();
    for (int x = 0; x < GRID_X; ++x)
        for (int y = 0; y < GRID_Y; ++y)
            for (int z = 0; z < GRID_Z; ++z) snapshot->grid[x][y][z] = w->grid[x][y][z];
    sweep_frame(*w);
    int changed = 0;
    for (int x = 0; x < GRID_X; ++x)
        for (int y = 0; y < GRID_Y; ++y)
            for (int z = 0; z < GRID_Z; ++z) changed += !same_record(snapshot->grid[x][y][z], w->grid[x][y][z]);
    EXPECT_EQ(changed, 0);
}

TEST(Invariants, OilEndsAboveWater) {
    auto w = make_world();
    // Oil poured beneath Water in a walled tank.
    fill_box(*w, TYPE_WALL, {9, 0, 9}, {15, 8, 15});
    clear_box(*w, {10, 0, 10}, {14, 8, 14});
    fill_box(*w, TYPE_OIL, {10, 0, 10}, {14, 1, 14});
    fill_box(*w, TYPE_WATER, {10, 2, 10}, {14, 3, 14});
    for (int frame = 0; frame < 300; ++frame) sweep_frame(*w);
    for (int x = 10; x <= 14; ++x)
        for (int z = 10; z <= 14; ++z)
            for (int y = 0; y <= 1; ++y) EXPECT_EQ(id_at(*w, {x, y, z}), TYPE_WATER) << cell{x, y, z};
    EXPECT_EQ(count_type(*w, TYPE_OIL), 50);
}

}  // namespace
