#pragma once

#include "app/command_line.h"

// What the program's two stages do differently. The build takes one source
// per stage: stage_current.cpp for the current program, stage_early.cpp for
// the earlier stage.

// The command line.
extern const bool STAGE_TAKES_SCENE_FILE;
extern const char* const STAGE_USAGE;
extern const char* const STAGE_ARGUMENTS_HELP;
extern const char* const STAGE_MATERIAL_KEYS_HELP;
extern const char* const STAGE_ADDED_KEYS_HELP;

// Start-up: the state of the stage's own controls, and its arguments.
void set_stage_start_values();
void take_stage_arguments(const command_line& line);

// Keys: `p`, the keys only the stage has (false when `c` is none of them), and F10.
void next_type();
bool handle_stage_key(unsigned char c);
void handle_stage_special_key(int k);
void reset_world();

// The frame: the cells, then what is written after the material name.
void draw_stage_cells();
void draw_stage_status();
