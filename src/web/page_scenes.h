#pragma once

// The page's scenes live in the module's in-memory file system, where the
// desktop's scene file works as it is (app/saved_scene.h); the page's script
// carries them between there and the browser: downloads, picked or dropped
// files, and the browser's own storage, which keeps the box over a reload.

// Where the box is kept for the browser's storage.
constexpr const char* KEPT_BOX_FILE = "kept-box.gvx";

// Asks the page to open its file picker for a scene to load.
void open_scene_picker();

// After the save key: the page offers the saved scene file as a download
// and keeps it in the browser's storage.
void offer_saved_scene();

// Writes the box to KEPT_BOX_FILE, saying nothing; false when it could not.
bool keep_box();

// Loads the box from KEPT_BOX_FILE, telling the user how it went.
void restore_kept_box();
