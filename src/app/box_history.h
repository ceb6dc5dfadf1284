#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "scene/scene_file.h"

// The boxes that the keys which throw the box away (empty, reload, load)
// replaced, kept as the bytes of scene files: a heap of 20,000 Sand takes
// about a kilobyte. They are made when such a key is pressed, never in a
// frame. Ctrl+Z brings back the last one; the box it replaces goes behind
// the oldest, so that pressing on comes round to it again.

constexpr unsigned char KEY_UNDO = 26;  // Ctrl+Z, as GLUT hands it over

constexpr std::size_t BOXES_KEPT_FOR_UNDO = 10;
constexpr std::size_t BOXES_ALWAYS_KEPT_FOR_UNDO = 5;       // however large they are
constexpr std::size_t MOST_BYTES_KEPT_FOR_UNDO = 64 << 20;  // beyond those five

// Replaces the box by what `load` puts into it (through the scene files'
// loading, which checks a scene whole before it writes a cell); when it
// does, the box it replaced is kept for undo, named by `replaced_by` ("the
// reload"). An empty box is not kept: there is nothing in it to bring back.
scene_outcome replace_box(const std::string& replaced_by, const std::function<scene_outcome(world&)>& load);

// Keeps the box as it is now for undo, before a key throws it away.
void keep_box_for_undo(const std::string& replaced_by);

// Ctrl+Z: brings back the box kept last, and says so.
void undo_key();

// Forgets them all (a new session, or a test's).
void forget_boxes_kept_for_undo();
