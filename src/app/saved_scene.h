#pragma once

// The session's scene file (scene_path): the one named on the command line,
// or DEFAULT_SCENE_FILE in the working directory. Each action tells the user
// how it went (see messages.h).

// Takes the scene file from the arguments GLUT has left (its own options
// already taken out) and loads it; without one, the box stays empty.
void take_scene_argument(int argc, char** argv);

// Saves the box to the scene file.
void save_scene();

// Loads the scene file into the box; a refused file leaves the box as it was.
void reload_scene();
