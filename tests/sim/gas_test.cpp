#include "sim_test_support.h"

#if GRAINVOX_HAS_GASES

namespace {

TEST(GasMotion, LightGasCandidatesInScanOrder) {
    auto w = make_world();
    const cell p{50, 10, 50};
    const cell order[17] = {
        {49, 10, 49}, {49, 11, 49}, {49, 10, 50}, {49, 11, 50}, {49, 10, 51}, {49, 11, 51},
        {50, 10, 49}, {50, 11, 49}, {50, 11, 50}, {50, 10, 51}, {50, 11, 51}, {51, 10, 49},
        {51, 11, 49}, {51, 10, 50}, {51, 11, 50}, {51, 10, 51}, {51, 11, 51},
    };
    const auto seeds = seed_per_index(17);
    for (int r = 0; r < 17; ++r) {
        SCOPED_TRACE(r);
        clear_box(*w, {49, 9, 49}, {51, 11, 51});
        w->add_particle(TYPE_METHANE, p.x, p.y, p.z);
        std::srand(seeds[r]);
        w->gas_motion(p.x, p.y, p.z);
        EXPECT_EQ(id_at(*w, order[r]), TYPE_METHANE);
        EXPECT_EQ(id_at(*w, p), TYPE_ERASER);
        expect_rand_calls(seeds[r], 1);
    }
}

// Every cell a gas of `type` at (50, 10, 50) can reach in one move from an
// open neighbourhood, as dy values seen.
std::vector<int> layers_reached(int type) {
    auto w = make_world();
    std::vector<int> seen;
    for (unsigned seed = 1; seed <= 200; ++seed) {
        clear_box(*w, {49, 9, 49}, {51, 11, 51});
        w->add_particle(type, 50, 10, 50);
        std::srand(seed);
        w->gas_motion(50, 10, 50);
        int dy = -2;
        for (int y = 9; y <= 11; ++y)
            for (int x = 49; x <= 51; ++x)
                for (int z = 49; z <= 51; ++z)
                    if (id_at(*w, {x, y, z}) == type) dy = y - 10;
        if (std::find(seen.begin(), seen.end(), dy) == seen.end()) seen.push_back(dy);
    }
    std::sort(seen.begin(), seen.end());
    return seen;
}

TEST(GasMotion, BandFollowsTheSignOfDensity) {
    EXPECT_EQ(layers_reached(TYPE_METHANE), (std::vector<int>{0, 1}));
    EXPECT_EQ(layers_reached(TYPE_HYDROGEN_SULFIDE), (std::vector<int>{-1, 0}));
    EXPECT_EQ(layers_reached(TYPE_CARBON_DIOXIDE), (std::vector<int>{-1, 0}));
    EXPECT_EQ(layers_reached(TYPE_NITROGEN_DIOXIDE), (std::vector<int>{-1, 0, 1}));
}

TEST(GasMotion, ThreeLayerBandHasTwentySixCandidates) {
    auto w = make_world();
    // The last candidate in scan order is (51, 11, 51).
    const unsigned seed = seed_per_index(26)[25];
    w->add_particle(TYPE_NITROGEN_DIOXIDE, 50, 10, 50);
    std::srand(seed);
    w->gas_motion(50, 10, 50);
    EXPECT_EQ(id_at(*w, {51, 11, 51}), TYPE_NITROGEN_DIOXIDE);
    // Straight down is index 12: nine cells of the dx = -1 plane, then
    // (50, 9..11, 49), then (50, 9, 50).
    clear_box(*w, {49, 9, 49}, {51, 11, 51});
    w->add_particle(TYPE_NITROGEN_DIOXIDE, 50, 10, 50);
    std::srand(seed_per_index(26)[12]);
    w->gas_motion(50, 10, 50);
    EXPECT_EQ(id_at(*w, {50, 9, 50}), TYPE_NITROGEN_DIOXIDE);
}

TEST(GasMotion, GasesMixWithGasesButNeverPushOthers) {
    auto w = make_world();
    const cell p{50, 10, 50};
    // Surround a heavy gas with Sand, Water and Wall except one Methane cell.
    fill_box(*w, TYPE_WALL, {49, 9, 49}, {51, 11, 51});
    w->add_particle(TYPE_SAND, 49, 10, 50);
    w->add_particle(TYPE_WATER, 51, 10, 50);
    w->add_particle(TYPE_METHANE, 50, 9, 50);
    w->add_particle(TYPE_CARBON_DIOXIDE, p.x, p.y, p.z);
    std::srand(12);
    w->gas_motion(p.x, p.y, p.z);
    EXPECT_EQ(id_at(*w, p), TYPE_METHANE);
    EXPECT_EQ(id_at(*w, {50, 9, 50}), TYPE_CARBON_DIOXIDE);
    expect_rand_calls(12, 1);

    // Its own kind too; and with nothing open it stays and draws nothing.
    w->add_particle(TYPE_CARBON_DIOXIDE, p.x, p.y, p.z);
    w->gas_motion(p.x, p.y, p.z);
    EXPECT_EQ(id_at(*w, p), TYPE_CARBON_DIOXIDE);
    w->add_particle(TYPE_WALL, 50, 9, 50);
    std::srand(12);
    w->gas_motion(p.x, p.y, p.z);
    EXPECT_EQ(id_at(*w, p), TYPE_CARBON_DIOXIDE);
    expect_rand_calls(12, 0);
}

TEST(GasMotion, OuterLayersOnlyMoveSideways) {
    auto w = make_world();
    for (unsigned seed = 1; seed <= 40; ++seed) {
        clear_box(*w, {49, GRID_Y - 2, 49}, {51, GRID_Y - 1, 51});
        w->add_particle(TYPE_METHANE, 50, GRID_Y - 1, 50);
        std::srand(seed);
        w->gas_motion(50, GRID_Y - 1, 50);
        EXPECT_EQ(find_only(*w, TYPE_METHANE, {49, GRID_Y - 2, 49}, {51, GRID_Y - 1, 51}).y, GRID_Y - 1);
        clear_box(*w, {49, GRID_Y - 1, 49}, {51, GRID_Y - 1, 51});

        clear_box(*w, {49, 0, 49}, {51, 1, 51});
        w->add_particle(TYPE_HYDROGEN_SULFIDE, 50, 0, 50);
        std::srand(seed);
        w->gas_motion(50, 0, 50);
        EXPECT_EQ(find_only(*w, TYPE_HYDROGEN_SULFIDE, {49, 0, 49}, {51, 1, 51}).y, 0);
        clear_box(*w, {49, 0, 49}, {51, 0, 51});
    }
}

TEST(GasMotion, CornerCellsScanInsideTheGridOnly) {
    auto w = make_world();
    // Nitrogen Dioxide in the corner (0, 0, 0): seven neighbours remain, in
    // the order dx, then dz, then dy.
    const cell order[7] = {{0, 1, 0}, {0, 0, 1}, {0, 1, 1}, {1, 0, 0}, {1, 1, 0}, {1, 0, 1}, {1, 1, 1}};
    const auto seeds = seed_per_index(7);
    for (int r = 0; r < 7; ++r) {
        clear_box(*w, {0, 0, 0}, {1, 1, 1});
        w->add_particle(TYPE_NITROGEN_DIOXIDE, 0, 0, 0);
        std::srand(seeds[r]);
        w->gas_motion(0, 0, 0);
        EXPECT_EQ(id_at(*w, order[r]), TYPE_NITROGEN_DIOXIDE) << r;
    }
}

TEST(GasMotion, CarbonDioxideMovingIntoBurningGasPutsItOut) {
    auto w = make_world();
    fill_box(*w, TYPE_WALL, {49, 9, 49}, {51, 10, 51});
    w->add_particle(TYPE_METHANE, 50, 9, 50);
    at(*w, {50, 9, 50}).ignition_delay = 0;
    w->add_particle(TYPE_CARBON_DIOXIDE, 50, 10, 50);
    w->gas_motion(50, 10, 50);
    EXPECT_EQ(id_at(*w, {50, 9, 50}), TYPE_CARBON_DIOXIDE);
    EXPECT_EQ(id_at(*w, {50, 10, 50}), TYPE_ERASER);
}

TEST(GasStep, BurningGasThatMovesLeavesFireToTheNewOccupant) {
    auto w = make_world();
    // A shaft: burning Methane can only rise into the empty cell above.
    fill_box(*w, TYPE_WALL, {49, 10, 49}, {51, 11, 51});
    clear_box(*w, {50, 10, 50}, {50, 11, 50});
    w->add_particle(TYPE_METHANE, 50, 10, 50);
    at(*w, {50, 10, 50}).ignition_delay = 0;
    w->add_particle(TYPE_OIL, 50, 9, 50);  // below the start only
    w->step(50, 10, 50);
    EXPECT_EQ(id_at(*w, {50, 11, 50}), TYPE_METHANE);
    EXPECT_EQ(at(*w, {50, 11, 50}).burn_time, 4);
    EXPECT_EQ(at(*w, {50, 9, 50}).ignition_delay, 10);
}

}  // namespace

#endif
