#include <vector>

#include "sim/sweep.h"
#include "sim_test_support.h"

namespace {

struct visit {
    ParticleType before;
    cell where;
};

std::vector<visit> sweep_recording(world& w) {
    std::vector<visit> visits;
    sweep_frame(w, [&](const ParticleType& before, int x, int y, int z) {
        visits.push_back({before, {x, y, z}});
    });
    return visits;
}

TEST(Sweep, EmptyWorldStepsNothing) {
    auto w = make_world();
    EXPECT_TRUE(sweep_recording(*w).empty());
    EXPECT_EQ(count_particles(*w), 0);
}

TEST(Sweep, VisitsLayerThenRowThenColumnWithThePreStepCopy) {
    auto w = make_world();
    // Static cells and a floor fire, placed out of sweep order.
    w->add_particle(TYPE_WALL, 5, 3, 1);
    w->add_particle(TYPE_WALL, 2, 3, 9);
    w->add_particle(TYPE_WALL, 2, 3, 4);
    w->add_particle(TYPE_FIRE, 90, 0, 90);
    w->add_particle(TYPE_GLASS, 0, 7, 0);
    const auto visits = sweep_recording(*w);
    const cell expected[] = {{90, 0, 90}, {2, 3, 4}, {2, 3, 9}, {5, 3, 1}, {0, 7, 0}};
    ASSERT_EQ(visits.size(), 5u);
    for (size_t i = 0; i < visits.size(); ++i) EXPECT_EQ(visits[i].where, expected[i]);
    EXPECT_EQ(visits[0].before.burn_time, 50);  // as it was before its step
    EXPECT_EQ(at(*w, {90, 0, 90}).burn_time, 49);
}

TEST(Sweep, StillFrameVisitsInTheSweepsOrderAndChangesNothing) {
    auto w = make_world();
    w->add_particle(TYPE_WALL, 5, 3, 1);
    w->add_particle(TYPE_SAND, 2, 3, 9);  // would fall in a stepped frame
    w->add_particle(TYPE_WATER, 2, 3, 4);
    w->add_particle(TYPE_FIRE, 90, 0, 90);
    w->add_particle(TYPE_OIL, 0, 7, 0);
    auto untouched = make_world();
    std::memcpy(untouched->grid, w->grid, sizeof w->grid);
    std::srand(5);
    std::vector<visit> visits;
    still_frame(*w, [&](const ParticleType& cell_now, int x, int y, int z) {
        visits.push_back({cell_now, {x, y, z}});
    });
    expect_rand_calls(5, 0);
    const cell expected[] = {{90, 0, 90}, {2, 3, 4}, {2, 3, 9}, {5, 3, 1}, {0, 7, 0}};
    ASSERT_EQ(visits.size(), 5u);
    for (size_t i = 0; i < visits.size(); ++i) {
        EXPECT_EQ(visits[i].where, expected[i]);
        EXPECT_TRUE(same_record(visits[i].before, at(*w, expected[i])));
    }
    for (int x = 0; x < GRID_X; ++x)
        for (int y = 0; y < GRID_Y; ++y)
            for (int z = 0; z < GRID_Z; ++z)
                ASSERT_TRUE(same_record(at(*w, {x, y, z}), at(*untouched, {x, y, z}))) << cell{x, y, z};
}

TEST(Sweep, SandFallsOneLayerPerFrame) {
    auto w = make_world();
    w->add_particle(TYPE_SAND, 20, 10, 20);
    for (int frame = 1; frame <= 10; ++frame) {
        sweep_frame(*w);
        ASSERT_EQ(id_at(*w, {20, 10 - frame, 20}), TYPE_SAND) << "frame " << frame;
        EXPECT_EQ(count_particles(*w), 1);
    }
    sweep_frame(*w);
    EXPECT_EQ(id_at(*w, {20, 0, 20}), TYPE_SAND);
}

TEST(Sweep, ParticleMovedAheadIsSteppedAgainInTheSameFrame) {
    auto w = make_world();
    // Pressured Water walled in except for the next cell in z.
    fill_box(*w, TYPE_WALL, {9, 0, 9}, {11, 0, 11});
    w->add_particle(TYPE_WATER, 10, 0, 10);
    w->add_particle(TYPE_ERASER, 10, 0, 11);
    at(*w, {10, 0, 10}).pressured = true;
    std::vector<visit> water;
    sweep_frame(*w, [&](const ParticleType& before, int x, int y, int z) {
        if (before.id == TYPE_WATER) water.push_back({before, {x, y, z}});
    });
    ASSERT_EQ(water.size(), 2u);
    EXPECT_EQ(water[0].where, (cell{10, 0, 10}));
    EXPECT_TRUE(water[0].before.pressured);
    EXPECT_EQ(water[1].where, (cell{10, 0, 11}));
    EXPECT_FALSE(water[1].before.pressured);
    EXPECT_EQ(water[1].before.green, 0.2);  // tinted in its first step
    EXPECT_EQ(at(*w, {10, 0, 11}).green, 0.0);
}

TEST(Sweep, ParticleMovedBehindWaitsForTheNextFrame) {
    auto w = make_world();
    fill_box(*w, TYPE_WALL, {9, 0, 9}, {11, 0, 11});
    w->add_particle(TYPE_WATER, 10, 0, 10);
    w->add_particle(TYPE_ERASER, 10, 0, 9);
    at(*w, {10, 0, 10}).pressured = true;
    int water_steps = 0;
    sweep_frame(*w, [&](const ParticleType& before, int, int, int) { water_steps += before.id == TYPE_WATER; });
    EXPECT_EQ(water_steps, 1);
    EXPECT_EQ(id_at(*w, {10, 0, 9}), TYPE_WATER);
}

#if GRAINVOX_HAS_GASES
TEST(Sweep, RisingGasClimbsManyLayersInOneFrame) {
    auto w = make_world();
    // A one-cell shaft of Wall from y = 10 to the top.
    fill_box(*w, TYPE_WALL, {49, 10, 49}, {51, GRID_Y - 1, 51});
    clear_box(*w, {50, 10, 50}, {50, GRID_Y - 1, 50});
    w->add_particle(TYPE_METHANE, 50, 10, 50);
    std::srand(1);
    int methane_steps = 0;
    sweep_frame(*w, [&](const ParticleType& before, int, int, int) { methane_steps += before.id == TYPE_METHANE; });
    EXPECT_EQ(id_at(*w, {50, GRID_Y - 1, 50}), TYPE_METHANE);
    EXPECT_EQ(methane_steps, GRID_Y - 10);
    // One draw per move (a single candidate each), none at the top.
    expect_rand_calls(1, GRID_Y - 1 - 10);
}

// Position of a cell in sweep order.
long sweep_rank(const cell& c) { return (long(c.y) * GRID_X + c.x) * GRID_Z + c.z; }

TEST(Sweep, GasIsSteppedAtEveryCellItReachesAheadOfTheSweep) {
    int highest = 0;
    for (unsigned seed = 1; seed <= 20; ++seed) {
        SCOPED_TRACE(seed);
        auto w = make_world();
        w->add_particle(TYPE_METHANE, 50, 10, 50);
        std::srand(seed);
        std::vector<cell> visits;
        sweep_frame(*w, [&](const ParticleType&, int x, int y, int z) { visits.push_back({x, y, z}); });
        const cell end = find_only(*w, TYPE_METHANE, {0, 10, 0}, {GRID_X - 1, GRID_Y - 1, GRID_Z - 1});
        ASSERT_FALSE(visits.empty());
        EXPECT_EQ(visits.front(), (cell{50, 10, 50}));
        for (size_t i = 1; i < visits.size(); ++i) {
            // Each further visit is where the previous step put it: a
            // neighbour, later in sweep order.
            EXPECT_GT(sweep_rank(visits[i]), sweep_rank(visits[i - 1]));
            EXPECT_LE(std::abs(visits[i].x - visits[i - 1].x), 1);
            EXPECT_LE(visits[i].y - visits[i - 1].y, 1);
            EXPECT_GE(visits[i].y, visits[i - 1].y);
            EXPECT_LE(std::abs(visits[i].z - visits[i - 1].z), 1);
        }
        // Where it stopped is either its last visit (no move) or behind it.
        const cell& last = visits.back();
        EXPECT_TRUE(end == last || sweep_rank(end) < sweep_rank(last)) << end << " after " << last;
        highest = std::max(highest, end.y);
    }
    EXPECT_GT(highest, 11) << "no run climbed more than one layer in a frame";
}

TEST(Sweep, SinkingGasDropsAtMostOneLayerPerFrame) {
    auto w = make_world();
    w->add_particle(TYPE_CARBON_DIOXIDE, 50, 30, 50);
    for (int frame = 1; frame <= 10; ++frame) {
        sweep_frame(*w);
        const cell c = find_only(*w, TYPE_CARBON_DIOXIDE);
        EXPECT_GE(c.y, 30 - frame);
        EXPECT_LE(c.y, 30);
    }
}
#endif

}  // namespace
