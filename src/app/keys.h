#pragma once

#include "sim/edition.h"  // the phase codes the number keys cycle through

// Keyboard callbacks: character keys act when pressed, special keys when
// released. Each asks for a redisplay after handling its key.
void key(unsigned char c, int x, int y);
void speckey(int k, int x, int y);

// The key handling itself, without the redisplay request.
void handle_key(unsigned char c);
void handle_special_key(int k);

constexpr int ANY_PHASE = -1;
constexpr int NO_MORE_TRIES = -1;
constexpr int TYPE_SEARCH_TRIES = 11;  // the full table is searched once round

// Advances selected_type to the next type id of `phase` (or to the next id
// at all for ANY_PHASE), trying at most `tries` further ids after the first.
void cycle_type(int phase, int tries);

// Deletes the fountains and ends the program.
[[noreturn]] void quit();
