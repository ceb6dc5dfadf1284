#pragma once

// The page's scenes live in the module's in-memory file system, where the
// desktop's scene keys work as they are (app/scene_keys.h); the page's script
// carries them between there and the browser: downloads, picked or dropped
// files, and the browser's own storage, which keeps the box over a reload.

#include <cstddef>

// Where the box is kept for the browser's storage.
constexpr const char* KEPT_BOX_FILE = "kept-box.gvx";

// The session's scene file, which the save and reload keys use; a picked or
// dropped file is written there and loaded with load_scene_file_again().
const char* scene_file_path();
void load_scene_file_again();

// A file from the browser larger than any scene file is refused before it
// is read into memory: it could be anything, of any size.
std::size_t most_scene_bytes();
void refuse_scene_file(double bytes);

// Asks the page to open its file picker for a scene to load.
void open_scene_picker();

// After the save key: the page offers the saved scene file as a download
// and keeps it in the browser's storage.
void offer_saved_scene();

// Writes the box to KEPT_BOX_FILE, saying nothing; false when it could not.
bool keep_box();

// Loads the box from KEPT_BOX_FILE, telling the user how it went.
void restore_kept_box();
