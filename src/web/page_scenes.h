#pragma once

// The page's scenes live in the module's in-memory file system, where the
// desktop's scene keys work as they are (app/scene_keys.h); the page's script
// carries them between there and the browser: downloads, picked or dropped
// files, links, and the boxes kept in the browser's own storage. Bytes from
// the browser are handed over in one buffer (scene_buffer) and checked
// whole before they become the box or the page's scene.

#include <cstddef>
#include <cstdint>

// The session's scene file, which the save and reload keys use.
const char* scene_file_path();

// A buffer of `size` bytes for the script to fill with a scene.
std::uint8_t* scene_buffer(std::size_t size);

// What is wrong with the scene in the buffer, or "" when it would load.
const char* scene_buffer_fault();

// Loads the buffer's scene into the box, keeping the box it replaces for
// undo; `name` names the file or link in the message. False, with the box
// and the page's scene as they were, when it is refused.
bool open_scene(const char* name);

// Opens a box kept in the browser's storage (described by `kept` for the
// message), as open_scene does; a box it cannot read is left as it is.
bool open_kept_box(const char* kept);

// A file from the browser larger than any scene file is refused before it
// is read into memory: it could be anything, of any size.
std::size_t most_scene_bytes();
void refuse_scene_file(double bytes);

// Asks the page to open its file picker for a scene to load.
void open_scene_picker();

// After the save key: the page offers the saved scene file as a download
// and keeps it in the browser's storage.
void offer_saved_scene();

// The box as a scene, for the browser's storage: its bytes and live cells.
struct taken_box {
    const std::uint8_t* bytes;
    std::size_t size;
    int live_cells;
};
taken_box take_box();
