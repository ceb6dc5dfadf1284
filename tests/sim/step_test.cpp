#include "sim_test_support.h"

namespace {

// Surrounds the cell's layer with Wall so that a liquid there cannot flow.
void wall_in_layer(world& w, cell c) {
    fill_box(w, TYPE_WALL, {c.x - 1, c.y, c.z - 1}, {c.x + 1, c.y, c.z + 1});
    w.add_particle(TYPE_ERASER, c.x, c.y, c.z);
}

// --- water tint ----------------------------------------------------------

TEST(StepTint, PressuredWaterTurnsGreenThenBack) {
    auto w = make_world();
    const cell c{20, 0, 20};
    wall_in_layer(*w, c);
    w->add_particle(TYPE_WATER, c.x, c.y, c.z);
    at(*w, c).pressured = true;

    w->step(c.x, c.y, c.z);  // tinted first, then the blocked token is dropped
    EXPECT_EQ(id_at(*w, c), TYPE_WATER);
    EXPECT_EQ(at(*w, c).green, 0.2);
    EXPECT_FALSE(at(*w, c).pressured);

    w->step(c.x, c.y, c.z);
    EXPECT_EQ(at(*w, c).green, 0.0);
    EXPECT_EQ(at(*w, c).red, 0.0);
    EXPECT_EQ(at(*w, c).blue, 1.0);
    EXPECT_EQ(at(*w, c).alpha, 0.3);
}

TEST(StepTint, OnlyWaterIsTinted) {
    auto w = make_world();
    const cell c{20, 0, 20};
    wall_in_layer(*w, c);
    w->add_particle(TYPE_OIL, c.x, c.y, c.z);
    at(*w, c).pressured = true;
    w->step(c.x, c.y, c.z);
    EXPECT_EQ(at(*w, c).green, 0.15);
}

// --- burning countdown ---------------------------------------------------

TEST(StepBurning, FireLastsFiftyStepsAndVanishesInItsFiftyFirst) {
    auto w = make_world();
    const cell c{30, 0, 30};
    w->add_particle(TYPE_FIRE, c.x, c.y, c.z);
    for (int i = 1; i <= 50; ++i) {
        w->step(c.x, c.y, c.z);
        ASSERT_EQ(id_at(*w, c), TYPE_FIRE) << "step " << i;
        EXPECT_EQ(at(*w, c).burn_time, 50 - i);
    }
    w->step(c.x, c.y, c.z);
    EXPECT_TRUE(same_record(at(*w, c), w->types[TYPE_ERASER]));
    EXPECT_EQ(count_particles(*w), 0);
}

TEST(StepBurning, BurntOutParticleNeitherMovesNorSpreads) {
    auto w = make_world();
    const cell c{30, 10, 30};
    w->add_particle(TYPE_FIRE, c.x, c.y, c.z);
    at(*w, c).burn_time = 0;
    w->add_particle(TYPE_OIL, c.x + 1, c.y, c.z);
    at(*w, {c.x + 1, c.y, c.z}).ignition_delay = 1;  // one contact from burning
    w->step(c.x, c.y, c.z);
    EXPECT_EQ(id_at(*w, c), TYPE_ERASER);
    EXPECT_EQ(id_at(*w, {c.x, c.y - 1, c.z}), TYPE_ERASER);  // did not fall first
    EXPECT_EQ(at(*w, {c.x + 1, c.y, c.z}).ignition_delay, 1);
    EXPECT_EQ(count_particles(*w), 1);
}

TEST(StepBurning, BurningParticleAgesWhileItFalls) {
    auto w = make_world();
    w->add_particle(TYPE_FIRE, 30, 10, 30);
    w->step(30, 10, 30);
    EXPECT_EQ(id_at(*w, {30, 10, 30}), TYPE_ERASER);
    EXPECT_EQ(at(*w, {30, 9, 30}).burn_time, 49);
}

// A flammable material, once ignited, vanishes in step `lifetime` + 1 after
// its ignition. The particle is walled in so that it stays put.
void expect_burn_lifetime(int type, int lifetime) {
    auto w = make_world();
    const cell c{50, 1, 50};
    fill_box(*w, TYPE_WALL, {49, 0, 49}, {51, 2, 51});
    w->add_particle(type, c.x, c.y, c.z);
    at(*w, c).ignition_delay = 0;
    for (int i = 1; i <= lifetime; ++i) {
        w->step(c.x, c.y, c.z);
        ASSERT_EQ(id_at(*w, c), type) << "vanished early, in step " << i;
    }
    w->step(c.x, c.y, c.z);
    EXPECT_EQ(id_at(*w, c), TYPE_ERASER);
}

TEST(StepBurning, LifetimesAfterIgnition) {
    {
        SCOPED_TRACE("Oil");
        expect_burn_lifetime(TYPE_OIL, 150);
    }
#if GRAINVOX_HAS_GASES
    {
        SCOPED_TRACE("Methane");
        expect_burn_lifetime(TYPE_METHANE, 5);
    }
    {
        SCOPED_TRACE("Hydrogen sulfide");
        expect_burn_lifetime(TYPE_HYDROGEN_SULFIDE, 15);
    }
#endif
}

TEST(StepBurning, UnignitedFuelIsNotCountedDown) {
    auto w = make_world();
    w->add_particle(TYPE_OIL, 30, 0, 30);
    for (int i = 0; i < 200; ++i) w->step(30, 0, 30);
    EXPECT_EQ(id_at(*w, {30, 0, 30}), TYPE_OIL);
    EXPECT_EQ(at(*w, {30, 0, 30}).burn_time, 150);
}

// --- order: motion first, then fire from the cell's new occupant ---------

TEST(StepOrder, FireThatMovedAwaySpreadsNothingThisStep) {
    auto w = make_world();
    w->add_particle(TYPE_FIRE, 30, 10, 30);
    w->add_particle(TYPE_OIL, 30, 11, 31);  // beside the start, two layers above the landing cell
    at(*w, {30, 11, 31}).ignition_delay = 1;
    w->step(30, 10, 30);
    EXPECT_EQ(id_at(*w, {30, 9, 30}), TYPE_FIRE);
    EXPECT_EQ(at(*w, {30, 11, 31}).ignition_delay, 1);
}

TEST(StepOrder, BurningParticleSwappedInSpreadsFromTheSteppedCell) {
    auto w = make_world();
    // Sand falls into the Fire below it; the Fire, now in the stepped cell,
    // reaches a neighbour two layers above its old place.
    w->add_particle(TYPE_FIRE, 30, 9, 30);
    w->add_particle(TYPE_SAND, 30, 10, 30);
    w->add_particle(TYPE_OIL, 30, 11, 30);
    at(*w, {30, 11, 30}).ignition_delay = 1;
    w->step(30, 10, 30);
    EXPECT_EQ(id_at(*w, {30, 9, 30}), TYPE_SAND);
    EXPECT_EQ(id_at(*w, {30, 10, 30}), TYPE_FIRE);
    EXPECT_EQ(at(*w, {30, 10, 30}).burn_time, 50);  // not its own step: not aged
    EXPECT_EQ(at(*w, {30, 11, 30}).ignition_delay, 0);
}

TEST(StepOrder, FireThatStaysSpreadsAfterAgeing) {
    auto w = make_world();
    w->add_particle(TYPE_FIRE, 30, 0, 30);
    w->add_particle(TYPE_OIL, 31, 0, 30);
    w->step(30, 0, 30);
    EXPECT_EQ(at(*w, {30, 0, 30}).burn_time, 49);
    EXPECT_EQ(at(*w, {31, 0, 30}).ignition_delay, 9);
}

TEST(StepOrder, StaticParticlesNeverChange) {
    auto w = make_world();
    w->add_particle(TYPE_GLASS, 30, 20, 30);
    w->add_particle(TYPE_WALL, 31, 20, 30);
    for (int i = 0; i < 5; ++i) {
        w->step(30, 20, 30);
        w->step(31, 20, 30);
    }
    EXPECT_TRUE(same_record(at(*w, {30, 20, 30}), w->types[TYPE_GLASS]));
    EXPECT_TRUE(same_record(at(*w, {31, 20, 30}), w->types[TYPE_WALL]));
    EXPECT_EQ(count_particles(*w), 2);
}

}  // namespace
