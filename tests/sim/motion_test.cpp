#include <vector>

#include "sim_test_support.h"

namespace {

// Slide targets one layer down, as (dx, dz), in the order the list is filled.
const cell SLIDE_ORDER[8] = {
    {-1, 0, 0}, {0, 0, -1}, {1, 0, 0}, {0, 0, 1}, {-1, 0, -1}, {-1, 0, 1}, {1, 0, 1}, {1, 0, -1},
};

cell below_by(cell c, const cell& d) { return {c.x + d.x, c.y - 1, c.z + d.z}; }

// --- falling and density -------------------------------------------------

TEST(MotionFall, StraightFallDrawsNoRandomNumber) {
    auto w = make_world();
    w->add_particle(TYPE_SAND, 40, 10, 40);
    std::srand(7);
    w->motion(40, 10, 40);
    EXPECT_EQ(id_at(*w, {40, 9, 40}), TYPE_SAND);
    EXPECT_EQ(id_at(*w, {40, 10, 40}), TYPE_ERASER);
    expect_rand_calls(7, 0);
}

TEST(MotionFall, BottomLayerNeitherFallsNorSlides) {
    auto w = make_world();
    w->add_particle(TYPE_SAND, 40, 0, 40);
    std::srand(7);
    w->motion(40, 0, 40);
    EXPECT_EQ(id_at(*w, {40, 0, 40}), TYPE_SAND);
    expect_rand_calls(7, 0);
}

// Whether `upper` placed on `lower` trades places with it in one motion call.
bool sinks_into(int upper, int lower) {
    auto w = make_world();
    // A pit: nothing to slide into, so only the straight fall can move it.
    fill_box(*w, TYPE_WALL, {9, 0, 9}, {11, 0, 11});
    w->add_particle(lower, 10, 0, 10);
    w->add_particle(upper, 10, 1, 10);
    at(*w, {10, 1, 10}).fountain_index = 1;  // tells the two apart when of one type
    w->motion(10, 1, 10);
    const bool moved = id_at(*w, {10, 0, 10}) == upper && at(*w, {10, 0, 10}).fountain_index == 1;
    if (moved) {
        EXPECT_EQ(id_at(*w, {10, 1, 10}), lower);
    }
    return moved;
}

TEST(MotionFall, HeavierSinksThroughLighterOnly) {
    EXPECT_TRUE(sinks_into(TYPE_SAND, TYPE_WATER));
    EXPECT_TRUE(sinks_into(TYPE_SAND, TYPE_OIL));
    EXPECT_TRUE(sinks_into(TYPE_WATER, TYPE_OIL));
    EXPECT_TRUE(sinks_into(TYPE_SAND, TYPE_FIRE));
    EXPECT_FALSE(sinks_into(TYPE_OIL, TYPE_WATER));  // Oil floats on Water
    EXPECT_FALSE(sinks_into(TYPE_SAND, TYPE_GLASS));
    EXPECT_FALSE(sinks_into(TYPE_SAND, TYPE_WALL));
    EXPECT_FALSE(sinks_into(TYPE_FIRE, TYPE_WATER));
}

TEST(MotionFall, EqualDensitiesNeverMoveEachOther) {
    EXPECT_FALSE(sinks_into(TYPE_WATER, TYPE_WATER));
    EXPECT_FALSE(sinks_into(TYPE_SAND, TYPE_SAND));
    EXPECT_FALSE(sinks_into(TYPE_OIL, TYPE_OIL));

    // A Sand heap on Sand is stable: no slide target is lighter, no draw.
    auto w = make_world();
    fill_box(*w, TYPE_SAND, {19, 0, 19}, {21, 0, 21});
    w->add_particle(TYPE_SAND, 20, 1, 20);
    std::srand(3);
    w->motion(20, 1, 20);
    EXPECT_EQ(id_at(*w, {20, 1, 20}), TYPE_SAND);
    expect_rand_calls(3, 0);
}

#if GRAINVOX_HAS_GASES
TEST(MotionFall, FireRestsOnHeavyGasesAndFallsThroughLightOnes) {
    EXPECT_TRUE(sinks_into(TYPE_FIRE, TYPE_NITROGEN_DIOXIDE));
    EXPECT_TRUE(sinks_into(TYPE_FIRE, TYPE_METHANE));
    EXPECT_FALSE(sinks_into(TYPE_FIRE, TYPE_CARBON_DIOXIDE));
    EXPECT_FALSE(sinks_into(TYPE_FIRE, TYPE_HYDROGEN_SULFIDE));
    EXPECT_TRUE(sinks_into(TYPE_SAND, TYPE_CARBON_DIOXIDE));
}
#endif

TEST(MotionFall, InertCellsNeverMove) {
    auto w = make_world();
    w->add_particle(TYPE_GLASS, 10, 10, 10);
    w->add_particle(TYPE_WALL, 12, 10, 10);
    std::srand(5);
    w->motion(10, 10, 10);
    w->motion(12, 10, 10);
    w->motion(14, 10, 10);  // an empty cell
    EXPECT_EQ(id_at(*w, {10, 10, 10}), TYPE_GLASS);
    EXPECT_EQ(id_at(*w, {12, 10, 10}), TYPE_WALL);
    EXPECT_EQ(count_particles(*w), 2);
    expect_rand_calls(5, 0);
}

// --- sliding ---------------------------------------------------------------

// Sand resting on Sand, with every slide target empty, lands on slide
// direction rand() % 8 in list order; one draw per move.
TEST(MotionSlide, ListFollowsTheDirectionOrder) {
    auto w = make_world();
    const cell p{50, 10, 50};
    const auto seeds = seed_per_index(8);
    for (int r = 0; r < 8; ++r) {
        SCOPED_TRACE(r);
        clear_box(*w, {49, 9, 49}, {51, 10, 51});
        w->add_particle(TYPE_SAND, p.x, p.y - 1, p.z);
        w->add_particle(TYPE_SAND, p.x, p.y, p.z);
        std::srand(seeds[r]);
        w->motion(p.x, p.y, p.z);
        EXPECT_EQ(id_at(*w, below_by(p, SLIDE_ORDER[r])), TYPE_SAND);
        EXPECT_EQ(id_at(*w, p), TYPE_ERASER);
        expect_rand_calls(seeds[r], 1);
    }
}

TEST(MotionSlide, BlockedTargetsAreLeftOutOfTheList) {
    auto w = make_world();
    const cell p{50, 10, 50};
    // Directions 0 and 6 are blocked: the list becomes 1, 2, 3, 4, 5, 7.
    const int list[] = {1, 2, 3, 4, 5, 7};
    const auto seeds = seed_per_index(6);
    for (int r = 0; r < 6; ++r) {
        SCOPED_TRACE(r);
        clear_box(*w, {49, 9, 49}, {51, 10, 51});
        w->add_particle(TYPE_WALL, p.x, p.y - 1, p.z);
        const cell b0 = below_by(p, SLIDE_ORDER[0]), b6 = below_by(p, SLIDE_ORDER[6]);
        w->add_particle(TYPE_SAND, b0.x, b0.y, b0.z);  // as dense: blocks
        w->add_particle(TYPE_WALL, b6.x, b6.y, b6.z);
        w->add_particle(TYPE_SAND, p.x, p.y, p.z);
        std::srand(seeds[r]);
        w->motion(p.x, p.y, p.z);
        EXPECT_EQ(id_at(*w, below_by(p, SLIDE_ORDER[list[r]])), TYPE_SAND);
        expect_rand_calls(seeds[r], 1);
    }
}

TEST(MotionSlide, FaceOfTheBoxAdmitsOnlyInsideDirections) {
    auto w = make_world();
    const cell p{0, 10, 50};
    const int list[] = {1, 2, 3, 6, 7};
    const auto seeds = seed_per_index(5);
    for (int r = 0; r < 5; ++r) {
        SCOPED_TRACE(r);
        clear_box(*w, {0, 9, 49}, {1, 10, 51});
        w->add_particle(TYPE_WALL, p.x, p.y - 1, p.z);
        w->add_particle(TYPE_SAND, p.x, p.y, p.z);
        std::srand(seeds[r]);
        w->motion(p.x, p.y, p.z);
        EXPECT_EQ(id_at(*w, below_by(p, SLIDE_ORDER[list[r]])), TYPE_SAND);
        expect_rand_calls(seeds[r], 1);
    }
}

TEST(MotionSlide, SingleTargetStillDrawsOnce) {
    auto w = make_world();
    // Corner (99, y, 99): only directions 0, 1 and 4 stay inside; block 0 and 1.
    w->add_particle(TYPE_WALL, 99, 4, 99);
    w->add_particle(TYPE_WALL, 98, 4, 99);
    w->add_particle(TYPE_WALL, 99, 4, 98);
    w->add_particle(TYPE_SAND, 99, 5, 99);
    std::srand(11);
    w->motion(99, 5, 99);
    EXPECT_EQ(id_at(*w, {98, 4, 98}), TYPE_SAND);
    expect_rand_calls(11, 1);
}

TEST(MotionSlide, SlidesIntoAnyLighterCell) {
    auto w = make_world();
    fill_box(*w, TYPE_WATER, {9, 0, 9}, {11, 0, 11});  // Water everywhere below
    w->add_particle(TYPE_SAND, 10, 0, 10);              // except straight below
    w->add_particle(TYPE_SAND, 10, 1, 10);
    w->motion(10, 1, 10);
    EXPECT_EQ(id_at(*w, {10, 1, 10}), TYPE_WATER);  // exchanged, Water moved up
    EXPECT_EQ(count_type(*w, TYPE_WATER), 8);
    EXPECT_EQ(count_type(*w, TYPE_SAND), 2);
}

// --- flowing and the pressure token ---------------------------------------

TEST(MotionFlow, TokenFromTheRingAndListInScanOrder) {
    auto w = make_world();
    const cell flows[7] = {{9, 0, 9}, {9, 0, 10}, {9, 0, 11}, {10, 0, 9},
                           {10, 0, 11}, {11, 0, 9}, {11, 0, 11}};
    const auto seeds = seed_per_index(7);
    for (int r = 0; r < 7; ++r) {
        SCOPED_TRACE(r);
        clear_box(*w, {9, 0, 9}, {11, 1, 11});
        w->add_particle(TYPE_WATER, 10, 0, 10);
        w->add_particle(TYPE_WALL, 11, 0, 10);
        w->add_particle(TYPE_WATER, 11, 1, 10);
        std::srand(seeds[r]);
        w->motion(10, 0, 10);
        ASSERT_EQ(id_at(*w, flows[r]), TYPE_WATER);
        EXPECT_FALSE(at(*w, flows[r]).pressured);
        EXPECT_EQ(id_at(*w, {10, 0, 10}), TYPE_ERASER);
        expect_rand_calls(seeds[r], 1);
    }
}

TEST(MotionFlow, NoTokenWithoutLiquidOnTheRing) {
    auto w = make_world();
    // A lone drop on the floor, and a column whose only upper cell is
    // straight above: neither is pressed.
    w->add_particle(TYPE_WATER, 30, 0, 30);
    w->add_particle(TYPE_WATER, 60, 0, 60);
    w->add_particle(TYPE_WATER, 60, 1, 60);
    w->add_particle(TYPE_WATER, 60, 2, 60);
    std::srand(9);
    w->motion(30, 0, 30);
    w->motion(60, 0, 60);
    EXPECT_EQ(id_at(*w, {30, 0, 30}), TYPE_WATER);
    EXPECT_EQ(id_at(*w, {60, 0, 60}), TYPE_WATER);
    EXPECT_FALSE(at(*w, {30, 0, 30}).pressured);
    EXPECT_FALSE(at(*w, {60, 0, 60}).pressured);
    expect_rand_calls(9, 0);
}

TEST(MotionFlow, LighterLiquidOnTheRingGivesNoToken) {
    auto w = make_world();
    w->add_particle(TYPE_WATER, 30, 0, 30);
    w->add_particle(TYPE_WALL, 31, 0, 30);
    w->add_particle(TYPE_OIL, 31, 1, 30);
    w->motion(30, 0, 30);
    EXPECT_EQ(id_at(*w, {30, 0, 30}), TYPE_WATER);
    EXPECT_FALSE(at(*w, {30, 0, 30}).pressured);

    // Oil under Water on its ring is pressed.
    w->add_particle(TYPE_OIL, 60, 0, 60);
    w->add_particle(TYPE_WALL, 61, 0, 60);
    w->add_particle(TYPE_WATER, 61, 1, 60);
    w->motion(60, 0, 60);
    EXPECT_EQ(id_at(*w, {60, 0, 60}), TYPE_ERASER);
}

TEST(MotionFlow, CarriedTokenAloneAllowsAFlow) {
    auto w = make_world();
    w->add_particle(TYPE_WATER, 30, 0, 30);
    at(*w, {30, 0, 30}).pressured = true;
    w->motion(30, 0, 30);
    EXPECT_EQ(id_at(*w, {30, 0, 30}), TYPE_ERASER);
    const cell moved = find_only(*w, TYPE_WATER);
    EXPECT_EQ(moved.y, 0);
    EXPECT_FALSE(at(*w, moved).pressured);
}

TEST(MotionFlow, NeverIntoPowderGasOrStatic) {
    auto w = make_world();
    const cell p{30, 0, 30};
    // Every side cell is lighter than Water but none is a liquid or empty.
#if GRAINVOX_HAS_GASES
    const int sides[8] = {TYPE_FIRE, TYPE_METHANE, TYPE_CARBON_DIOXIDE, TYPE_NITROGEN_DIOXIDE,
                          TYPE_HYDROGEN_SULFIDE, TYPE_FIRE, TYPE_METHANE, TYPE_NITROGEN_DIOXIDE};
#else
    const int sides[8] = {TYPE_FIRE, TYPE_FIRE, TYPE_FIRE, TYPE_FIRE,
                          TYPE_FIRE, TYPE_FIRE, TYPE_FIRE, TYPE_FIRE};
#endif
    int i = 0;
    for (int dx = -1; dx <= 1; ++dx)
        for (int dz = -1; dz <= 1; ++dz)
            if (dx != 0 || dz != 0) w->add_particle(sides[i++], p.x + dx, 0, p.z + dz);
    w->add_particle(TYPE_WATER, p.x, p.y, p.z);
    w->add_particle(TYPE_WATER, p.x + 1, 1, p.z);  // presses it
    std::srand(4);
    w->motion(p.x, p.y, p.z);
    EXPECT_EQ(id_at(*w, p), TYPE_WATER);
    EXPECT_FALSE(at(*w, p).pressured);  // blocked: the token was passed on, to no liquid
    expect_rand_calls(4, 0);
}

TEST(MotionFlow, OilNeverFlowsIntoWaterButWaterIntoOil) {
    auto w = make_world();
    fill_box(*w, TYPE_WATER, {29, 0, 29}, {31, 0, 31});
    w->add_particle(TYPE_OIL, 30, 0, 30);
    at(*w, {30, 0, 30}).pressured = true;
    w->motion(30, 0, 30);
    EXPECT_EQ(id_at(*w, {30, 0, 30}), TYPE_OIL);

    fill_box(*w, TYPE_OIL, {59, 0, 59}, {61, 0, 61});
    w->add_particle(TYPE_WATER, 60, 0, 60);
    at(*w, {60, 0, 60}).pressured = true;
    w->motion(60, 0, 60);
    EXPECT_EQ(id_at(*w, {60, 0, 60}), TYPE_OIL);
    EXPECT_EQ(count_type(*w, TYPE_WATER), 9);
    EXPECT_EQ(count_type(*w, TYPE_OIL), 9);
}

TEST(MotionFlow, BlockedTokenPassesToEveryLiquidBeside) {
    auto w = make_world();
    const cell p{30, 0, 30};
    // Oil surrounded by Water (heavier: no flow target), one Sand, pressed from the ring.
    fill_box(*w, TYPE_WATER, {29, 0, 29}, {31, 0, 31});
    w->add_particle(TYPE_SAND, 31, 0, 31);
    w->add_particle(TYPE_OIL, p.x, p.y, p.z);
    w->add_particle(TYPE_WATER, 29, 1, 29);
    std::srand(2);
    w->motion(p.x, p.y, p.z);
    EXPECT_EQ(id_at(*w, p), TYPE_OIL);
    EXPECT_FALSE(at(*w, p).pressured);
    for (int dx = -1; dx <= 1; ++dx)
        for (int dz = -1; dz <= 1; ++dz) {
            if (dx == 0 && dz == 0) continue;
            const cell n{p.x + dx, 0, p.z + dz};
            EXPECT_EQ(at(*w, n).pressured, id_at(*w, n) == TYPE_WATER) << n;
        }
    EXPECT_FALSE(at(*w, {29, 1, 29}).pressured);  // the ring itself is not touched
    expect_rand_calls(2, 0);
}

TEST(MotionFlow, TokenWithoutTargetsAtTheFaceStaysInTheGrid) {
    auto w = make_world();
    // Corner column, Walls on the three inside neighbours: passing on scans
    // only cells inside the grid.
    w->add_particle(TYPE_WATER, 0, 0, 0);
    w->add_particle(TYPE_WATER, 1, 0, 0);
    w->add_particle(TYPE_WALL, 0, 0, 1);
    w->add_particle(TYPE_WALL, 1, 0, 1);
    at(*w, {0, 0, 0}).pressured = true;
    w->motion(0, 0, 0);
    EXPECT_FALSE(at(*w, {0, 0, 0}).pressured);
    EXPECT_TRUE(at(*w, {1, 0, 0}).pressured);
    EXPECT_FALSE(at(*w, {0, 0, 1}).pressured);
}

TEST(MotionFlow, CornerFlowListInScanOrder) {
    auto w = make_world();
    const cell flows[3] = {{98, 0, 98}, {98, 0, 99}, {99, 0, 98}};
    const auto seeds = seed_per_index(3);
    for (int r = 0; r < 3; ++r) {
        SCOPED_TRACE(r);
        clear_box(*w, {98, 0, 98}, {99, 0, 99});
        w->add_particle(TYPE_WATER, 99, 0, 99);
        at(*w, {99, 0, 99}).pressured = true;
        std::srand(seeds[r]);
        w->motion(99, 0, 99);
        EXPECT_EQ(id_at(*w, flows[r]), TYPE_WATER);
        expect_rand_calls(seeds[r], 1);
    }
}

TEST(MotionFlow, FallKeepsTheTokenSlideClearsIt) {
    auto w = make_world();
    w->add_particle(TYPE_WATER, 30, 5, 30);
    at(*w, {30, 5, 30}).pressured = true;
    w->motion(30, 5, 30);
    EXPECT_TRUE(at(*w, {30, 4, 30}).pressured);

    w->add_particle(TYPE_SAND, 30, 3, 30);
    w->motion(30, 4, 30);
    EXPECT_EQ(id_at(*w, {30, 4, 30}), TYPE_ERASER);
    const cell slid = find_only(*w, TYPE_WATER);
    EXPECT_EQ(slid.y, 3);
    EXPECT_FALSE(at(*w, slid).pressured);
}

TEST(MotionFlow, TopLayerPassesTheTokenWithoutFlowing) {
    auto w = make_world();
    const cell p{30, GRID_Y - 1, 30};
    // Resting on Water (no fall), slide targets blocked by Water, one empty
    // side cell and one Water side cell.
    fill_box(*w, TYPE_WATER, {29, GRID_Y - 2, 29}, {31, GRID_Y - 2, 31});
    w->add_particle(TYPE_WATER, p.x, p.y, p.z);
    w->add_particle(TYPE_WATER, 31, p.y, 30);
    at(*w, p).pressured = true;
    std::srand(6);
    w->motion(p.x, p.y, p.z);
    EXPECT_EQ(id_at(*w, p), TYPE_WATER);
    EXPECT_FALSE(at(*w, p).pressured);
    EXPECT_TRUE(at(*w, {31, p.y, 30}).pressured);
    expect_rand_calls(6, 0);
}

TEST(MotionFlow, PowderNeverFlowsSideways) {
    auto w = make_world();
    w->add_particle(TYPE_SAND, 30, 0, 30);
    fill_box(*w, TYPE_WATER, {29, 1, 29}, {31, 1, 31});
    w->add_particle(TYPE_ERASER, 30, 1, 30);
    std::srand(8);
    w->motion(30, 0, 30);
    EXPECT_EQ(id_at(*w, {30, 0, 30}), TYPE_SAND);
    EXPECT_FALSE(at(*w, {30, 0, 30}).pressured);
    expect_rand_calls(8, 0);
}

// --- fire meeting motion ----------------------------------------------------

TEST(MotionFire, WaterFallingOnFirePutsItOut) {
    auto w = make_world();
    w->add_particle(TYPE_FIRE, 30, 4, 30);
    w->add_particle(TYPE_WATER, 30, 5, 30);
    w->motion(30, 5, 30);
    EXPECT_EQ(id_at(*w, {30, 4, 30}), TYPE_WATER);
    EXPECT_EQ(id_at(*w, {30, 5, 30}), TYPE_ERASER);
    EXPECT_EQ(count_type(*w, TYPE_FIRE), 0);
}

TEST(MotionFire, WaterFlowingIntoBurningOilPutsItOut) {
    auto w = make_world();
    fill_box(*w, TYPE_WALL, {29, 0, 29}, {31, 0, 31});
    w->add_particle(TYPE_WATER, 30, 0, 30);
    w->add_particle(TYPE_OIL, 31, 0, 30);
    at(*w, {31, 0, 30}).ignition_delay = 0;
    at(*w, {30, 0, 30}).pressured = true;
    w->motion(30, 0, 30);
    EXPECT_EQ(id_at(*w, {31, 0, 30}), TYPE_WATER);
    EXPECT_EQ(id_at(*w, {30, 0, 30}), TYPE_ERASER);
}

TEST(MotionFire, SandFallingOnFireOnlyTradesPlaces) {
    auto w = make_world();
    w->add_particle(TYPE_FIRE, 30, 4, 30);
    w->add_particle(TYPE_SAND, 30, 5, 30);
    w->motion(30, 5, 30);
    EXPECT_EQ(id_at(*w, {30, 4, 30}), TYPE_SAND);
    EXPECT_EQ(id_at(*w, {30, 5, 30}), TYPE_FIRE);
}

}  // namespace
