#include <cstdio>

#include "sim/types.h"

namespace {

// The material table. Values are part of the physics; the two translucent
// solids and the gases use single-precision alphas widened to double.
struct type_row {
    const char* name;
    double density;
    double red, green, blue, alpha;
    int burn_time;
    int ignition_delay;
    bool extinguishes;
    int phase;
};

#if GRAINVOX_EARLY_STAGE
const type_row TYPE_ROWS[TYPE_COUNT] = {
    {"Eraser", 0.0, 0.0, 0.0, 0.0, 0.0, NEVER, NEVER, false, PHASE_EMPTY},
    {"Sand", 10.0, 1.0, 0.82, 0.38, 1.0, NEVER, NEVER, false, PHASE_POWDER},
    {"Oil", 0.25, 0.3, 0.15, 0.0, 0.7, 150, 10, false, PHASE_LIQUID},
    {"Water", 1.0, 0.0, 0.0, 1.0, 0.3, NEVER, NEVER, true, PHASE_LIQUID},
    {"Fire", 0.01, 1.0, 0.24, 0.02, 0.6, 50, 0, false, PHASE_POWDER},
    {"Glass", 100.0, 0.3, 0.8, 1.0, 0.12f, NEVER, NEVER, false, PHASE_STATIC},
    {"Wall", 100.0, 0.5, 0.5, 0.5, 1.0, NEVER, NEVER, false, PHASE_STATIC},
};
#else
const type_row TYPE_ROWS[TYPE_COUNT] = {
    {"Eraser", 0.0, 0.0, 0.0, 0.0, 0.0, NEVER, NEVER, false, PHASE_EMPTY},
    {"Sand", 10.0, 1.0, 0.82, 0.38, 1.0, NEVER, NEVER, false, PHASE_POWDER},
    {"Oil", 2.0, 0.3, 0.15, 0.0, 0.7, 150, 10, false, PHASE_LIQUID},
    {"Water", 5.0, 0.0, 0.0, 1.0, 0.3, NEVER, NEVER, true, PHASE_LIQUID},
    {"Methane", -1.0, 0.9, 0.9, 0.9, 0.11f, 5, 1, false, PHASE_GAS},
    {"Fire", 0.01, 1.0, 0.24, 0.02, 0.6, 50, 0, false, PHASE_POWDER},
    {"Glass", 100.0, 0.3, 0.8, 1.0, 0.12f, NEVER, NEVER, false, PHASE_STATIC},
    {"Wall", 100.0, 0.5, 0.5, 0.5, 1.0, NEVER, NEVER, false, PHASE_STATIC},
    {"Hydrogen sulfide", 0.5, 0.9, 0.9, 0.0, 0.11f, 15, 5, false, PHASE_GAS},
    {"Carbon Dioxide", 0.25, 0.2, 0.2, 0.2, 0.11f, NEVER, NEVER, true, PHASE_GAS},
    {"Nitrogen Dioxide", 0.0, 0.6, 0.3, 0.0, 0.11f, NEVER, NEVER, false, PHASE_GAS},
};
#endif

}  // namespace

void fill_type_table(ParticleType* types) {
    for (int i = 0; i < TYPE_COUNT; ++i) {
        const type_row& row = TYPE_ROWS[i];
        ParticleType& t = types[i];
        t = ParticleType{};
        std::snprintf(t.name, sizeof t.name, "%s", row.name);
        t.fountain_index = 0;
        t.density = row.density;
        t.id = i;
        t.red = row.red;
        t.green = row.green;
        t.blue = row.blue;
        t.burn_time = row.burn_time;
        t.alpha = row.alpha;
        t.extinguishes = row.extinguishes;
        t.ignition_delay = row.ignition_delay;
        t.phase = row.phase;
        t.pressured = false;
    }
}
