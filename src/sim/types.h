#pragma once

#include "sim/world.h"

// burn_time and ignition_delay of materials that do not burn.
constexpr int NEVER = -1;

// Writes the TYPE_COUNT rows of this program's material table into `types`.
void fill_type_table(ParticleType* types);

// Colours a particle takes when it catches fire: those of Fire itself.
constexpr double IGNITION_RED = 1.0;
constexpr double IGNITION_GREEN = 0.24;
constexpr double IGNITION_BLUE = 0.02;
constexpr double IGNITION_ALPHA = 0.6;

// Water shows its pressure token by its green component.
constexpr double PRESSURED_WATER_GREEN = 0.2;
constexpr double WATER_GREEN = 0.0;
