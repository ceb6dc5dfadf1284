#include <cstring>

#include "sim_test_support.h"

namespace {

// --- the material table ---------------------------------------------------

struct expected_row {
    const char* name;
    double density, red, green, blue, alpha;
    int burn_time, ignition_delay;
    bool extinguishes;
    int phase;
};

[[maybe_unused]] void expect_row(const ParticleType& t, int id, const expected_row& e) {
    SCOPED_TRACE(e.name);
    EXPECT_STREQ(t.name, e.name);
    EXPECT_EQ(t.id, id);
    EXPECT_EQ(t.density, e.density);
    EXPECT_EQ(t.red, e.red);
    EXPECT_EQ(t.green, e.green);
    EXPECT_EQ(t.blue, e.blue);
    EXPECT_EQ(t.alpha, e.alpha);
    EXPECT_EQ(t.burn_time, e.burn_time);
    EXPECT_EQ(t.ignition_delay, e.ignition_delay);
    EXPECT_EQ(t.extinguishes, e.extinguishes);
    EXPECT_EQ(t.phase, e.phase);
    EXPECT_FALSE(t.pressured);
}

#if GRAINVOX_HAS_GASES
TEST(TypeTable, EveryRowToTheLastDigit) {
    // The translucent solids and the gases carry single-precision alphas.
    const double gas_alpha = static_cast<double>(0.11f);
    const double glass_alpha = static_cast<double>(0.12f);
    const expected_row rows[] = {
        {"Eraser", 0.0, 0.0, 0.0, 0.0, 0.0, -1, -1, false, 4},
        {"Sand", 10.0, 1.0, 0.82, 0.38, 1.0, -1, -1, false, 1},
        {"Oil", 2.0, 0.3, 0.15, 0.0, 0.7, 150, 10, false, 2},
        {"Water", 5.0, 0.0, 0.0, 1.0, 0.3, -1, -1, true, 2},
        {"Methane", -1.0, 0.9, 0.9, 0.9, gas_alpha, 5, 1, false, 3},
        {"Fire", 0.01, 1.0, 0.24, 0.02, 0.6, 50, 0, false, 1},
        {"Glass", 100.0, 0.3, 0.8, 1.0, glass_alpha, -1, -1, false, 5},
        {"Wall", 100.0, 0.5, 0.5, 0.5, 1.0, -1, -1, false, 5},
        {"Hydrogen sulfide", 0.5, 0.9, 0.9, 0.0, gas_alpha, 15, 5, false, 3},
        {"Carbon Dioxide", 0.25, 0.2, 0.2, 0.2, gas_alpha, -1, -1, true, 3},
        {"Nitrogen Dioxide", 0.0, 0.6, 0.3, 0.0, gas_alpha, -1, -1, false, 3},
    };
    static_assert(sizeof rows / sizeof rows[0] == TYPE_COUNT);
    auto w = make_world();
    for (int i = 0; i < TYPE_COUNT; ++i) expect_row(w->types[i], i, rows[i]);
    // The widened values, as stored.
    EXPECT_DOUBLE_EQ(w->types[TYPE_METHANE].alpha, 0.10999999940395355);
    EXPECT_NE(w->types[TYPE_METHANE].alpha, 0.11);
    EXPECT_NE(w->types[TYPE_GLASS].alpha, 0.12);
}

TEST(TypeTable, IdsAndPhaseCodes) {
    EXPECT_EQ(TYPE_ERASER, 0);
    EXPECT_EQ(TYPE_METHANE, 4);
    EXPECT_EQ(TYPE_FIRE, 5);
    EXPECT_EQ(TYPE_NITROGEN_DIOXIDE, 10);
    EXPECT_EQ(TYPE_COUNT, 11);
    EXPECT_EQ(PHASE_POWDER, 1);
    EXPECT_EQ(PHASE_LIQUID, 2);
    EXPECT_EQ(PHASE_GAS, 3);
    EXPECT_EQ(PHASE_EMPTY, 4);
    EXPECT_EQ(PHASE_STATIC, 5);
}
#endif

TEST(TypeTable, NamesFitTheirFieldAndIdsMatchRows) {
    auto w = make_world();
    for (int i = 0; i < TYPE_COUNT; ++i) {
        EXPECT_EQ(w->types[i].id, i);
        EXPECT_LT(std::strlen(w->types[i].name), sizeof w->types[i].name);
        EXPECT_GT(std::strlen(w->types[i].name), 0u);
    }
}

// --- a new world -----------------------------------------------------------

TEST(NewWorld, EveryCellIsAFreshEraser) {
    auto w = make_world();
    const ParticleType& eraser = w->types[TYPE_ERASER];
    EXPECT_EQ(eraser.phase, PHASE_EMPTY);
    int mismatches = 0;
    for (int x = 0; x < GRID_X; ++x)
        for (int y = 0; y < GRID_Y; ++y)
            for (int z = 0; z < GRID_Z; ++z) mismatches += !same_record(w->grid[x][y][z], eraser);
    EXPECT_EQ(mismatches, 0);
    const ParticleType corner = w->get_particle(GRID_X - 1, GRID_Y - 1, GRID_Z - 1);
    EXPECT_EQ(corner.id, TYPE_ERASER);
    EXPECT_EQ(corner.density, 0.0);
    EXPECT_EQ(corner.alpha, 0.0);
    EXPECT_EQ(corner.burn_time, -1);
    EXPECT_EQ(corner.ignition_delay, -1);
}

// --- add_particle and get_particle ------------------------------------------

TEST(AddParticle, ClampsEachCoordinateIntoTheGrid) {
    auto w = make_world();
    w->add_particle(TYPE_SAND, -5, 60, 120);
    EXPECT_EQ(id_at(*w, {0, 49, 99}), TYPE_SAND);
    w->add_particle(TYPE_WATER, 100, -1, 50);
    EXPECT_EQ(id_at(*w, {99, 0, 50}), TYPE_WATER);
    w->add_particle(TYPE_OIL, 42, 7, -3);
    EXPECT_EQ(id_at(*w, {42, 7, 0}), TYPE_OIL);
    EXPECT_EQ(count_particles(*w), 3);
}

TEST(AddParticle, StampsAFreshCopyOfTheRow) {
    auto w = make_world();
    w->add_particle(TYPE_OIL, 3, 4, 5);
    ParticleType& oil = at(*w, {3, 4, 5});
    oil.ignition_delay = 0;  // caught fire and has been burning a while
    oil.burn_time = 7;
    oil.red = 1.0;
    oil.pressured = true;
    w->add_particle(TYPE_OIL, 3, 4, 5);
    EXPECT_TRUE(same_record(at(*w, {3, 4, 5}), w->types[TYPE_OIL]));
    EXPECT_EQ(at(*w, {3, 4, 5}).ignition_delay, 10);
    EXPECT_EQ(at(*w, {3, 4, 5}).burn_time, 150);
    // The table itself was never touched through the cell.
    EXPECT_EQ(w->types[TYPE_OIL].red, 0.3);
}

TEST(GetParticle, ReturnsAnIndependentCopy) {
    auto w = make_world();
    w->add_particle(TYPE_WATER, 1, 2, 3);
    const ParticleType copy = w->get_particle(1, 2, 3);
    at(*w, {1, 2, 3}).green = 0.2;
    w->add_particle(TYPE_SAND, 1, 2, 3);
    EXPECT_EQ(copy.id, TYPE_WATER);
    EXPECT_EQ(copy.green, 0.0);
    ParticleType other = w->get_particle(1, 2, 3);
    other.id = TYPE_WALL;
    EXPECT_NE(other.id, id_at(*w, {1, 2, 3}));
    EXPECT_EQ(id_at(*w, {1, 2, 3}), TYPE_SAND);
}

// --- swap ---------------------------------------------------------------

TEST(Swap, PlainExchangeCarriesEveryField) {
    auto w = make_world();
    w->add_particle(TYPE_OIL, 10, 10, 10);
    w->add_particle(TYPE_WATER, 11, 10, 10);
    at(*w, {10, 10, 10}).pressured = true;
    at(*w, {10, 10, 10}).ignition_delay = 4;  // partly heated, not burning
    at(*w, {11, 10, 10}).green = 0.2;
    const ParticleType a = at(*w, {10, 10, 10});
    const ParticleType b = at(*w, {11, 10, 10});
    w->swap(10, 10, 10, 11, 10, 10);
    EXPECT_TRUE(same_record(at(*w, {10, 10, 10}), b));
    EXPECT_TRUE(same_record(at(*w, {11, 10, 10}), a));
}

TEST(Swap, BurningFirstCellMeetingAnExtinguisherIsPutOut) {
    auto w = make_world();
    w->add_particle(TYPE_FIRE, 5, 5, 5);
    w->add_particle(TYPE_WATER, 5, 6, 5);
    w->swap(5, 5, 5, 5, 6, 5);
    EXPECT_EQ(id_at(*w, {5, 5, 5}), TYPE_WATER);
    EXPECT_TRUE(same_record(at(*w, {5, 6, 5}), w->types[TYPE_ERASER]));
}

TEST(Swap, BurningSecondCellMeetingAnExtinguisherIsPutOut) {
    auto w = make_world();
    w->add_particle(TYPE_WATER, 5, 6, 5);
    w->add_particle(TYPE_OIL, 5, 5, 5);
    at(*w, {5, 5, 5}).ignition_delay = 0;  // burning Oil
    w->swap(5, 6, 5, 5, 5, 5);
    EXPECT_TRUE(same_record(at(*w, {5, 6, 5}), w->types[TYPE_ERASER]));
    EXPECT_EQ(id_at(*w, {5, 5, 5}), TYPE_WATER);
}

TEST(Swap, UnburntFuelAndWaterSimplyExchange) {
    auto w = make_world();
    w->add_particle(TYPE_OIL, 5, 5, 5);
    w->add_particle(TYPE_WATER, 5, 6, 5);
    w->swap(5, 5, 5, 5, 6, 5);
    EXPECT_EQ(id_at(*w, {5, 5, 5}), TYPE_WATER);
    EXPECT_EQ(id_at(*w, {5, 6, 5}), TYPE_OIL);
    EXPECT_EQ(at(*w, {5, 6, 5}).ignition_delay, 10);
}

TEST(Swap, BurningParticleAndNonExtinguisherExchange) {
    auto w = make_world();
    w->add_particle(TYPE_FIRE, 5, 5, 5);
    w->add_particle(TYPE_SAND, 5, 6, 5);
    at(*w, {5, 5, 5}).burn_time = 17;
    w->swap(5, 5, 5, 5, 6, 5);
    EXPECT_EQ(id_at(*w, {5, 5, 5}), TYPE_SAND);
    EXPECT_EQ(id_at(*w, {5, 6, 5}), TYPE_FIRE);
    EXPECT_EQ(at(*w, {5, 6, 5}).burn_time, 17);
}

#if GRAINVOX_HAS_GASES
TEST(Swap, CarbonDioxidePutsOutFireEitherWay) {
    auto w = make_world();
    w->add_particle(TYPE_FIRE, 5, 5, 5);
    w->add_particle(TYPE_CARBON_DIOXIDE, 6, 5, 5);
    w->swap(5, 5, 5, 6, 5, 5);
    EXPECT_EQ(id_at(*w, {5, 5, 5}), TYPE_CARBON_DIOXIDE);
    EXPECT_EQ(id_at(*w, {6, 5, 5}), TYPE_ERASER);

    w->add_particle(TYPE_METHANE, 7, 5, 5);
    at(*w, {7, 5, 5}).ignition_delay = 0;  // burning Methane
    w->swap(5, 5, 5, 7, 5, 5);             // the Carbon Dioxide moves into it
    EXPECT_EQ(id_at(*w, {5, 5, 5}), TYPE_ERASER);
    EXPECT_EQ(id_at(*w, {7, 5, 5}), TYPE_CARBON_DIOXIDE);
}
#endif

}  // namespace
