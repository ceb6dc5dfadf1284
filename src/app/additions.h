#pragma once

#include <string>

// The state of the controls the current program adds: pause and single
// step, saved scenes and the information overlay. The earlier stage has none.

extern bool paused;             // frames draw the world as it stands, without stepping it
extern bool single_step_asked;  // while paused: the next frame steps the world once
extern bool overlay_on;         // the information overlay is drawn
extern std::string scene_path;  // the scene file that the save and reload keys use

// Whether this frame steps the world: while running, or once when a single
// step was asked for while paused (which spends the ask). Paused, the world
// is drawn as it stands.
bool frame_steps_world();

constexpr const char* DEFAULT_SCENE_FILE = "grainvox.gvx";  // in the working directory

// Space pauses and runs the world, `f` steps it once while paused.
constexpr unsigned char KEY_PAUSE = ' ';
constexpr unsigned char KEY_SINGLE_STEP = 'f';
