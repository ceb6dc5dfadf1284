#pragma once

#include <string>

#include "app/additions.h"

// The scene file of the session (scene_path) and the keys that save and
// load it. Each tells the user how it went (see messages.h).

// Makes `path` the scene file and loads it: the one named on the command line.
void start_with_scene_file(const std::string& path);

// The save key's name in messages: the desktop's F5, or the page's own.
extern const char* const SAVE_KEY_NAME;

// F5: saves the box to the scene file. A file there that is not a scene is
// kept; the scene file then becomes a free name beside it, and the message
// says which.
void save_scene_key();

// F9: loads the scene file into the box, keeping the box it replaces for
// undo; a refused file leaves the box as it was.
void reload_scene_key();
