#include "sim_test_support.h"

namespace {

void expect_ignition_colours(const ParticleType& p) {
    EXPECT_EQ(p.red, 1.0);
    EXPECT_EQ(p.green, 0.24);
    EXPECT_EQ(p.blue, 0.02);
    EXPECT_EQ(p.alpha, 0.6);
}

// Contacts a fresh particle of `type` needs from a neighbouring Fire before it burns.
int contacts_to_ignite(int type) {
    auto w = make_world();
    w->add_particle(TYPE_FIRE, 50, 10, 50);
    w->add_particle(type, 51, 11, 50);
    const ParticleType fresh = at(*w, {51, 11, 50});
    for (int n = 1; n <= 100; ++n) {
        w->spread_fire(50, 10, 50);
        const ParticleType& p = at(*w, {51, 11, 50});
        if (p.ignition_delay == 0) {
            expect_ignition_colours(p);
            EXPECT_EQ(p.burn_time, fresh.burn_time);
            return n;
        }
        // Not yet alight: its own colours.
        EXPECT_EQ(p.red, fresh.red);
        EXPECT_EQ(p.alpha, fresh.alpha);
    }
    return -1;
}

TEST(FireContact, IgnitionCounts) {
    EXPECT_EQ(contacts_to_ignite(TYPE_OIL), 10);
#if GRAINVOX_HAS_GASES
    EXPECT_EQ(contacts_to_ignite(TYPE_METHANE), 1);
    EXPECT_EQ(contacts_to_ignite(TYPE_HYDROGEN_SULFIDE), 5);
#endif
}

TEST(FireContact, EveryNeighbourGetsOneContactPerCall) {
    auto w = make_world();
    const cell f{50, 10, 50};
    fill_box(*w, TYPE_OIL, {49, 9, 49}, {51, 11, 51});
    w->add_particle(TYPE_FIRE, f.x, f.y, f.z);
    w->spread_fire(f.x, f.y, f.z);
    int touched = 0;
    for (int dx = -1; dx <= 1; ++dx)
        for (int dy = -1; dy <= 1; ++dy)
            for (int dz = -1; dz <= 1; ++dz)
                if (dx || dy || dz) touched += at(*w, {f.x + dx, f.y + dy, f.z + dz}).ignition_delay == 9;
    EXPECT_EQ(touched, 26);
    EXPECT_EQ(at(*w, f).burn_time, 50);  // its own fuel is untouched
}

TEST(FireContact, InertNeighboursAreLeftUnchanged) {
    auto w = make_world();
    const cell f{50, 10, 50};
    w->add_particle(TYPE_FIRE, f.x, f.y, f.z);
    w->add_particle(TYPE_SAND, 49, 10, 50);
    w->add_particle(TYPE_GLASS, 51, 10, 50);
    w->add_particle(TYPE_WALL, 50, 11, 50);
#if GRAINVOX_HAS_GASES
    w->add_particle(TYPE_NITROGEN_DIOXIDE, 50, 9, 50);
#endif
    auto before = make_world();
    for (int x = 48; x <= 52; ++x)
        for (int y = 8; y <= 12; ++y)
            for (int z = 48; z <= 52; ++z) before->grid[x][y][z] = w->grid[x][y][z];
    w->spread_fire(f.x, f.y, f.z);
    for (int x = 48; x <= 52; ++x)
        for (int y = 8; y <= 12; ++y)
            for (int z = 48; z <= 52; ++z)
                EXPECT_TRUE(same_record(w->grid[x][y][z], before->grid[x][y][z])) << cell{x, y, z};
}

TEST(FireContact, BurningNeighbourIsRecolouredOnlyWhileItHasFuel) {
    auto w = make_world();
    w->add_particle(TYPE_FIRE, 50, 10, 50);
    w->add_particle(TYPE_FIRE, 51, 10, 50);
    w->add_particle(TYPE_FIRE, 49, 10, 50);
    at(*w, {51, 10, 50}).green = 0.5;
    at(*w, {51, 10, 50}).alpha = 0.9;
    at(*w, {49, 10, 50}).green = 0.5;
    at(*w, {49, 10, 50}).burn_time = 0;
    w->spread_fire(50, 10, 50);
    expect_ignition_colours(at(*w, {51, 10, 50}));
    EXPECT_EQ(at(*w, {51, 10, 50}).ignition_delay, 0);
    EXPECT_EQ(at(*w, {49, 10, 50}).green, 0.5);
}

TEST(FireContact, CornerCellReachesItsInsideNeighbours) {
    auto w = make_world();
    w->add_particle(TYPE_FIRE, 0, 0, 0);
    w->add_particle(TYPE_OIL, 1, 1, 1);
    at(*w, {1, 1, 1}).ignition_delay = 1;
    w->spread_fire(0, 0, 0);
    EXPECT_EQ(at(*w, {1, 1, 1}).ignition_delay, 0);
    EXPECT_EQ(id_at(*w, {0, 0, 0}), TYPE_FIRE);
}

// --- extinguishing ------------------------------------------------------

#if !GRAINVOX_EARLY_STAGE
// Whether Fire at (50, 10, 50) with an extinguisher at the offset is put out
// by its own scan.
bool put_out_by(int type, int dx, int dy, int dz) {
    auto w = make_world();
    w->add_particle(TYPE_FIRE, 50, 10, 50);
    w->add_particle(type, 50 + dx, 10 + dy, 50 + dz);
    w->spread_fire(50, 10, 50);
    if (id_at(*w, {50, 10, 50}) == TYPE_FIRE) {
        EXPECT_EQ(id_at(*w, {50 + dx, 10 + dy, 50 + dz}), type);
        return false;
    }
    EXPECT_EQ(id_at(*w, {50, 10, 50}), type);
    EXPECT_EQ(id_at(*w, {50 + dx, 10 + dy, 50 + dz}), TYPE_ERASER);
    EXPECT_EQ(count_particles(*w), 1);
    return true;
}

TEST(FireExtinguish, FromAboveAndBesideButNotBelow) {
    EXPECT_TRUE(put_out_by(TYPE_WATER, 0, 1, 0));
    EXPECT_TRUE(put_out_by(TYPE_WATER, 1, 0, 0));
    EXPECT_TRUE(put_out_by(TYPE_WATER, -1, 1, 1));
    EXPECT_TRUE(put_out_by(TYPE_WATER, 0, 0, -1));
    EXPECT_FALSE(put_out_by(TYPE_WATER, 0, -1, 0));
    EXPECT_FALSE(put_out_by(TYPE_WATER, 1, -1, 1));
    EXPECT_TRUE(put_out_by(TYPE_CARBON_DIOXIDE, 0, 1, 0));
    EXPECT_TRUE(put_out_by(TYPE_CARBON_DIOXIDE, -1, 0, 0));
    EXPECT_FALSE(put_out_by(TYPE_CARBON_DIOXIDE, 0, -1, 0));
}

TEST(FireExtinguish, ScanStopsAfterThePuttingOut) {
    {
        auto w = make_world();
        w->add_particle(TYPE_FIRE, 50, 10, 50);
        w->add_particle(TYPE_WATER, 49, 10, 49);
        w->add_particle(TYPE_METHANE, 51, 10, 51);
        w->spread_fire(50, 10, 50);
        EXPECT_EQ(id_at(*w, {50, 10, 50}), TYPE_WATER);
        EXPECT_EQ(id_at(*w, {49, 10, 49}), TYPE_ERASER);
        EXPECT_EQ(at(*w, {51, 10, 51}).ignition_delay, 1);
    }
    {
        auto w = make_world();
        w->add_particle(TYPE_FIRE, 50, 10, 50);
        w->add_particle(TYPE_METHANE, 49, 10, 49);
        w->add_particle(TYPE_WATER, 51, 10, 51);
        w->spread_fire(50, 10, 50);
        EXPECT_EQ(at(*w, {49, 10, 49}).ignition_delay, 0);
        expect_ignition_colours(at(*w, {49, 10, 49}));
        EXPECT_EQ(id_at(*w, {50, 10, 50}), TYPE_WATER);
        EXPECT_EQ(id_at(*w, {51, 10, 51}), TYPE_ERASER);
    }
}

TEST(FireExtinguish, CornerCellIsPutOutLikeAnyOther) {
    auto w = make_world();
    w->add_particle(TYPE_FIRE, 0, 0, 0);
    w->add_particle(TYPE_WATER, 0, 1, 0);
    w->spread_fire(0, 0, 0);
    EXPECT_EQ(id_at(*w, {0, 0, 0}), TYPE_WATER);
    EXPECT_EQ(id_at(*w, {0, 1, 0}), TYPE_ERASER);
}

TEST(FireExtinguish, FireOnAWaterSurfaceBurnsOut) {
    auto w = make_world();
    fill_box(*w, TYPE_WATER, {49, 0, 49}, {51, 0, 51});
    w->add_particle(TYPE_FIRE, 50, 1, 50);
    int steps = 0;
    while (id_at(*w, {50, 1, 50}) == TYPE_FIRE && steps < 100) {
        w->step(50, 1, 50);
        ++steps;
    }
    EXPECT_EQ(steps, 51);
    EXPECT_EQ(count_type(*w, TYPE_WATER), 9);
}
#endif

}  // namespace
