#pragma once

// Grainvox ships two programs from one source tree: the current program and
// its earlier stage (0.36). Every simulation-level difference between them is
// chosen here, at compile time, by GRAINVOX_EARLY_STAGE.

#ifndef GRAINVOX_EARLY_STAGE
#define GRAINVOX_EARLY_STAGE 0
#endif

#if GRAINVOX_EARLY_STAGE

#define GRAINVOX_VERSION "0.36"
#define GRAINVOX_HAS_GASES 0

// Phase codes of the earlier stage: one code for everything that never moves.
constexpr int PHASE_POWDER = 0;
constexpr int PHASE_LIQUID = 1;
constexpr int PHASE_EMPTY = 3;
constexpr int PHASE_STATIC = 3;

constexpr int TYPE_ERASER = 0;
constexpr int TYPE_SAND = 1;
constexpr int TYPE_OIL = 2;
constexpr int TYPE_WATER = 3;
constexpr int TYPE_FIRE = 4;
constexpr int TYPE_GLASS = 5;
constexpr int TYPE_WALL = 6;
constexpr int TYPE_COUNT = 7;

// Fire there goes out only when a motion rule swaps an extinguisher into it.
constexpr bool NEIGHBOURS_PUT_OUT_FIRE = false;

#else

#define GRAINVOX_VERSION "0.38"
#define GRAINVOX_HAS_GASES 1

constexpr int PHASE_POWDER = 1;
constexpr int PHASE_LIQUID = 2;
constexpr int PHASE_GAS = 3;
constexpr int PHASE_EMPTY = 4;
constexpr int PHASE_STATIC = 5;

constexpr int TYPE_ERASER = 0;
constexpr int TYPE_SAND = 1;
constexpr int TYPE_OIL = 2;
constexpr int TYPE_WATER = 3;
constexpr int TYPE_METHANE = 4;
constexpr int TYPE_FIRE = 5;
constexpr int TYPE_GLASS = 6;
constexpr int TYPE_WALL = 7;
constexpr int TYPE_HYDROGEN_SULFIDE = 8;
constexpr int TYPE_CARBON_DIOXIDE = 9;
constexpr int TYPE_NITROGEN_DIOXIDE = 10;
constexpr int TYPE_COUNT = 11;

constexpr bool NEIGHBOURS_PUT_OUT_FIRE = true;

#endif

#define GRAINVOX_TITLE "Grainvox " GRAINVOX_VERSION

// Particles of these phases never move by themselves.
constexpr bool is_immobile_phase(int phase) {
    return phase == PHASE_EMPTY || phase == PHASE_STATIC;
}
