// The current program: material keys by phase, a new world on F10, and the
// additions: pause and single step, saved scenes and their undo, messages and
// the overlay.
#include <string>
#include <utility>

#include "app/additions.h"
#include "app/app_state.h"
#include "app/box_history.h"
#include "app/gl.h"
#include "app/keys.h"
#include "app/overlay.h"
#include "app/pen.h"
#include "app/scene_keys.h"
#include "app/stage.h"

bool paused;
bool single_step_asked;
bool overlay_on;
std::string scene_path = DEFAULT_SCENE_FILE;

bool frame_steps_world() { return !paused || std::exchange(single_step_asked, false); }

const bool STAGE_TAKES_SCENE_FILE = true;
const char* const STAGE_USAGE = "[GLUT options] [--] [SCENE]";
const char* const STAGE_ARGUMENTS_HELP =
    "  --          ends the options: a SCENE that starts with '-' comes after it\n"
    "  SCENE       a scene file to start with; F5 saves to it, F9 loads it again\n"
    "              (without one, both use grainvox.gvx in the working directory)\n";
const char* const STAGE_MATERIAL_KEYS_HELP =
    "  1, 6                  Eraser\n"
    "  2, 3, 4, 5            next powder, liquid, gas, solid\n"
    "  p                     next material, whatever its kind\n";
const char* const STAGE_ADDED_KEYS_HELP =
    "  F10                   empty the box\n"
    "  Space                 pause or run the world (paused, the pen still pours)\n"
    "  f                     while paused, step the world once\n"
    "  F5, F9                save the box to the scene file, load it again\n"
    "  Ctrl+Z                bring back the box that F10 or F9 replaced\n"
    "  F12                   information overlay on or off\n";

void set_stage_start_values() {
    paused = false;
    single_step_asked = false;
    overlay_on = false;
}

void take_stage_arguments(const command_line& line) {
    if (!line.scene_file.empty()) start_with_scene_file(line.scene_file);
}

void next_type() { cycle_type(ANY_PHASE, TYPE_SEARCH_TRIES); }

// The number keys choose the material by phase; Space pauses and runs the
// world, `f` steps it once while paused, and Ctrl+Z brings back a box.
bool handle_stage_key(unsigned char c) {
    switch (c) {
    case '1': selected_type = TYPE_ERASER; return true;
    case '2': cycle_type(PHASE_POWDER, TYPE_SEARCH_TRIES); return true;
    case '3': cycle_type(PHASE_LIQUID, TYPE_SEARCH_TRIES); return true;
    case '4': cycle_type(PHASE_GAS, TYPE_SEARCH_TRIES); return true;
    case '5': cycle_type(PHASE_STATIC, TYPE_SEARCH_TRIES); return true;
    case '6': cycle_type(PHASE_EMPTY, TYPE_SEARCH_TRIES); return true;
    case KEY_PAUSE:
        paused = !paused;
        single_step_asked = false;
        return true;
    case KEY_SINGLE_STEP:
        if (paused) single_step_asked = true;
        return true;
    case KEY_UNDO: undo_key(); return true;
    default: return false;
    }
}

void handle_stage_special_key(int k) {
    switch (k) {
    case GLUT_KEY_F5: save_scene_key(); break;
    case GLUT_KEY_F9: reload_scene_key(); break;
    case GLUT_KEY_F12: toggle_overlay(); break;
    default: break;
    }
}

void reset_world() {
    keep_box_for_undo("emptying");
    delete w;
    w = new world();
}

bool pen_builds_shell(int phase) { return phase == PHASE_STATIC; }
