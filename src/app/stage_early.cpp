// The earlier stage: no additions, one world for the whole run, `p` cycles
// through its seven materials, and every immobile pen lays a full cube.
#include "app/app_state.h"
#include "app/frame.h"
#include "app/pen.h"
#include "app/stage.h"

const bool STAGE_TAKES_SCENE_FILE = false;
const char* const STAGE_USAGE = "[GLUT options]";
const char* const STAGE_ARGUMENTS_HELP = "";
const char* const STAGE_MATERIAL_KEYS_HELP = "  p                     next material\n";
const char* const STAGE_ADDED_KEYS_HELP = "";

void set_stage_start_values() {}
void take_stage_arguments(const command_line&) {}

void next_type() { selected_type = (selected_type + 1) % w->type_count; }
bool handle_stage_key(unsigned char) { return false; }
void handle_stage_special_key(int) {}
void reset_world() {}

void draw_stage_cells() { draw_scene_and_cells(true); }
void draw_stage_status() {}

// One code for the Eraser, Glass and Wall alike.
bool pen_builds_shell(int) { return false; }
