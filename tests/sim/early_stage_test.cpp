// Behaviour that belongs to the earlier program stage only.
#include "sim/sweep.h"
#include "sim_test_support.h"

#if GRAINVOX_EARLY_STAGE

namespace {

TEST(EarlyStage, SevenRowTable) {
    auto w = make_world();
    EXPECT_EQ(w->type_count, 7);
    EXPECT_EQ(TYPE_COUNT, 7);
    const char* names[7] = {"Eraser", "Sand", "Oil", "Water", "Fire", "Glass", "Wall"};
    const int phases[7] = {3, 0, 1, 1, 0, 3, 3};
    const double densities[7] = {0.0, 10.0, 0.25, 1.0, 0.01, 100.0, 100.0};
    for (int i = 0; i < 7; ++i) {
        SCOPED_TRACE(names[i]);
        EXPECT_STREQ(w->types[i].name, names[i]);
        EXPECT_EQ(w->types[i].id, i);
        EXPECT_EQ(w->types[i].phase, phases[i]);
        EXPECT_EQ(w->types[i].density, densities[i]);
        EXPECT_FALSE(w->types[i].pressured);
    }
    // Other values are those of their namesakes in the later table.
    EXPECT_EQ(w->types[TYPE_FIRE].burn_time, 50);
    EXPECT_EQ(w->types[TYPE_FIRE].ignition_delay, 0);
    EXPECT_EQ(w->types[TYPE_FIRE].green, 0.24);
    EXPECT_EQ(w->types[TYPE_OIL].burn_time, 150);
    EXPECT_EQ(w->types[TYPE_OIL].ignition_delay, 10);
    EXPECT_EQ(w->types[TYPE_OIL].alpha, 0.7);
    EXPECT_TRUE(w->types[TYPE_WATER].extinguishes);
    EXPECT_FALSE(w->types[TYPE_OIL].extinguishes);
    EXPECT_EQ(w->types[TYPE_GLASS].alpha, static_cast<double>(0.12f));
    EXPECT_EQ(w->types[TYPE_WALL].red, 0.5);
    EXPECT_EQ(w->types[TYPE_SAND].green, 0.82);
    EXPECT_EQ(TYPE_FIRE, 4);
    EXPECT_EQ(TYPE_GLASS, 5);
    EXPECT_EQ(TYPE_WALL, 6);
}

TEST(EarlyStage, PhaseCodes) {
    EXPECT_EQ(PHASE_POWDER, 0);
    EXPECT_EQ(PHASE_LIQUID, 1);
    EXPECT_EQ(PHASE_EMPTY, 3);
    EXPECT_EQ(PHASE_STATIC, 3);
    EXPECT_FALSE(GRAINVOX_HAS_GASES);
}

TEST(EarlyStage, PowdersOfCodeZeroFallAndSlide) {
    auto w = make_world();
    w->add_particle(TYPE_SAND, 20, 5, 20);
    w->add_particle(TYPE_FIRE, 40, 5, 40);
    w->motion(20, 5, 20);
    w->motion(40, 5, 40);
    EXPECT_EQ(id_at(*w, {20, 4, 20}), TYPE_SAND);
    EXPECT_EQ(id_at(*w, {40, 4, 40}), TYPE_FIRE);

    w->add_particle(TYPE_SAND, 20, 3, 20);  // under the grain: it must slide
    w->motion(20, 4, 20);
    EXPECT_EQ(id_at(*w, {20, 4, 20}), TYPE_ERASER);
    EXPECT_EQ(count_type(*w, TYPE_SAND), 2);
}

TEST(EarlyStage, EraserGlassAndWallNeverMove) {
    auto w = make_world();
    w->add_particle(TYPE_GLASS, 20, 5, 20);
    w->add_particle(TYPE_WALL, 40, 5, 40);
    for (int frame = 0; frame < 3; ++frame) sweep_frame(*w);
    EXPECT_EQ(id_at(*w, {20, 5, 20}), TYPE_GLASS);
    EXPECT_EQ(id_at(*w, {40, 5, 40}), TYPE_WALL);
    w->motion(30, 5, 30);  // an empty cell
    EXPECT_EQ(count_particles(*w), 2);
}

TEST(EarlyStage, NoPuttingOutFromTheFiresOwnScan) {
    auto w = make_world();
    w->add_particle(TYPE_FIRE, 50, 10, 50);
    w->add_particle(TYPE_WATER, 51, 10, 50);
    w->add_particle(TYPE_WATER, 50, 11, 49);
    w->add_particle(TYPE_OIL, 49, 11, 50);
    w->spread_fire(50, 10, 50);
    EXPECT_EQ(id_at(*w, {50, 10, 50}), TYPE_FIRE);
    EXPECT_EQ(id_at(*w, {51, 10, 50}), TYPE_WATER);
    EXPECT_EQ(at(*w, {49, 11, 50}).ignition_delay, 9);  // the scan went on to the end
}

TEST(EarlyStage, FireBesideWaterBurnsOut) {
    auto w = make_world();
    fill_box(*w, TYPE_WALL, {49, 0, 49}, {51, 0, 51});
    w->add_particle(TYPE_FIRE, 50, 0, 50);
    w->add_particle(TYPE_WATER, 51, 0, 50);  // beside, not pressed: it stays
    w->add_particle(TYPE_WATER, 50, 1, 49);  // diagonally above, resting on Wall
    int steps = 0;
    while (id_at(*w, {50, 0, 50}) == TYPE_FIRE && steps < 100) {
        w->step(50, 0, 50);
        ++steps;
    }
    EXPECT_EQ(steps, 51);
    EXPECT_EQ(count_type(*w, TYPE_WATER), 2);
}

TEST(EarlyStage, WaterSwappedIntoFireStillPutsItOut) {
    auto w = make_world();
    w->add_particle(TYPE_FIRE, 50, 0, 50);
    w->add_particle(TYPE_WATER, 50, 1, 50);
    w->step(50, 1, 50);
    EXPECT_EQ(id_at(*w, {50, 0, 50}), TYPE_WATER);
    EXPECT_EQ(id_at(*w, {50, 1, 50}), TYPE_ERASER);
}

TEST(EarlyStage, OilFloatsOnWater) {
    auto w = make_world();
    w->add_particle(TYPE_OIL, 50, 1, 50);
    fill_box(*w, TYPE_WALL, {49, 0, 49}, {51, 0, 51});
    w->add_particle(TYPE_WATER, 50, 0, 50);
    w->motion(50, 1, 50);
    EXPECT_EQ(id_at(*w, {50, 1, 50}), TYPE_OIL);
    w->add_particle(TYPE_WATER, 50, 2, 50);
    w->motion(50, 2, 50);
    EXPECT_EQ(id_at(*w, {50, 1, 50}), TYPE_WATER);
    EXPECT_EQ(id_at(*w, {50, 2, 50}), TYPE_OIL);
}

}  // namespace

#endif
