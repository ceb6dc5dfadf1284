// What the page's script calls: the toolbar, the wheel, the canvas's size,
// the scene files and the boxes kept in the browser's storage, and the pictures and frame
// count that the checks and the speed measurement read.

#include <emscripten/emscripten.h>
#include <GL/glut.h>

#include "app/app_state.h"
#include "app/mouse.h"
#include "web/page_frame.h"
#include "web/page_keys.h"
#include "web/page_scenes.h"

namespace {

taken_box& last_taken() {
    static taken_box box{nullptr, 0, 0};
    return box;
}

}  // namespace

extern "C" {

// A key as if typed: a character, or GLUT's code of a special key.
EMSCRIPTEN_KEEPALIVE void page_press_key(int c) { page_key(static_cast<unsigned char>(c), mouse_x, mouse_y); }
EMSCRIPTEN_KEEPALIVE void page_press_special_key(int k) { page_special_key(k, mouse_x, mouse_y); }

EMSCRIPTEN_KEEPALIVE void page_select_material(int id) {
    if (id >= 0 && id < TYPE_COUNT) selected_type = id;
}

// The wheel: a step away from the box (outward) or towards it, as the
// desktop's buttons 4 and 5 do.
EMSCRIPTEN_KEEPALIVE void page_zoom(int outward) {
    handle_button(outward ? MOUSE_BUTTON_ZOOM_OUT : MOUSE_BUTTON_ZOOM_IN, GLUT_UP);
}

// The canvas follows the window.
EMSCRIPTEN_KEEPALIVE void page_resize(int width, int height) { glutReshapeWindow(width, height); }

// The scene file the save and reload keys use.
EMSCRIPTEN_KEEPALIVE const char* page_scene_path() { return scene_file_path(); }

// Scenes from the browser: files, links and kept boxes, checked before they
// become the box or the page's scene.
EMSCRIPTEN_KEEPALIVE std::uint8_t* page_scene_buffer(double size) {
    return scene_buffer(static_cast<std::size_t>(size));
}
EMSCRIPTEN_KEEPALIVE const char* page_scene_fault() { return scene_buffer_fault(); }
EMSCRIPTEN_KEEPALIVE int page_open_scene(const char* name) { return open_scene(name) ? 1 : 0; }
EMSCRIPTEN_KEEPALIVE int page_open_kept_box(const char* kept) { return open_kept_box(kept) ? 1 : 0; }

// A file larger than any scene is refused before it is read.
EMSCRIPTEN_KEEPALIVE double page_most_scene_bytes() { return static_cast<double>(most_scene_bytes()); }
EMSCRIPTEN_KEEPALIVE void page_refuse_scene_file(double bytes) { refuse_scene_file(bytes); }

// The box for the browser's storage: take it, then read its bytes and cells.
EMSCRIPTEN_KEEPALIVE const std::uint8_t* page_take_box() {
    last_taken() = take_box();
    return last_taken().bytes;
}
EMSCRIPTEN_KEEPALIVE double page_taken_box_size() { return static_cast<double>(last_taken().size); }
EMSCRIPTEN_KEEPALIVE int page_taken_box_cells() { return last_taken().live_cells; }

EMSCRIPTEN_KEEPALIVE void page_capture_frame() { capture_next_frame(); }
EMSCRIPTEN_KEEPALIVE const unsigned char* page_captured_pixels() { return captured_frame().data(); }
EMSCRIPTEN_KEEPALIVE int page_captured_width() { return captured_width(); }
EMSCRIPTEN_KEEPALIVE int page_captured_height() { return captured_height(); }
EMSCRIPTEN_KEEPALIVE double page_frames_drawn() { return static_cast<double>(frames_drawn()); }
EMSCRIPTEN_KEEPALIVE double page_pictures_drawn() { return static_cast<double>(pictures_drawn()); }

}  // extern "C"
