#include "web/page_frame.h"

#include <GLES2/gl2.h>
#include <GL/glut.h>
#include <emscripten/emscripten.h>

#include <chrono>

#include "app/additions.h"
#include "app/app_state.h"
#include "app/frame.h"
#include "app/overlay.h"
#include "app/pen.h"
#include "render/gles2/gles2_renderer.h"
#include "web/page_status.h"

namespace {

using frame_clock = std::chrono::steady_clock;

constexpr int RGBA_BYTES = 4;

// The page draws one frame at a time on the browser's main thread; these
// live as long as the page.
struct page_picture {
    gles2_renderer renderer;
    frame_view view{};
    bool view_drawn = false;
    bool capture_asked = false;
    std::vector<std::uint8_t> captured;
    int captured_width = 0;
    int captured_height = 0;
    long frames = 0;
    long pictures = 0;  // frames whose picture was drawn
};

page_picture& picture() {
    static page_picture kept;
    return kept;
}

// ?whole-frames in the page's address draws every frame whole, as before
// meshes were kept: the measure that kept meshes are held to.
EM_JS(int, page_asks_whole_frames, (), { return new URLSearchParams(window.location.search).has('whole-frames') ? 1 : 0; });

double seconds_since(frame_clock::time_point start) {
    return std::chrono::duration<double>(frame_clock::now() - start).count();
}

frame_view current_view() { return camera_view(polar_x, polar_y, polar_d, windx, windy); }

void keep_picture(page_picture& kept) {
    kept.captured_width = windx;
    kept.captured_height = windy;
    kept.captured.assign(static_cast<std::size_t>(windx) * windy * RGBA_BYTES, 0);
    glReadPixels(0, 0, windx, windy, GL_RGBA, GL_UNSIGNED_BYTE, kept.captured.data());
    kept.capture_asked = false;
}

// With the overlay on, the frame's time is measured, and the part of it
// that went to GL.
void draw_world(page_picture& kept) {
    const bool steps = frame_steps_world();
    const frame_clock::time_point start = frame_clock::now();
    kept.renderer.record_frame(*w, steps, graphics, {point_x, point_y, point_z, pen_size}, f, kept.view);
    const frame_clock::time_point drawing_start = frame_clock::now();
    // A still picture is left on the canvas: the browser shows it until we draw again.
    if (!kept.renderer.picture_unchanged() || kept.capture_asked) {
        kept.renderer.draw(kept.view);
        ++kept.pictures;
    }
    if (overlay_on) overlay_frame_drawn(seconds_since(start), seconds_since(drawing_start));
}

}  // namespace

void start_page_renderer(int image_width, int image_height, const unsigned char* rgb) {
    gles2_renderer& renderer = picture().renderer;
    if (!renderer.init(image_width, image_height, rgb)) report_page_failure(renderer.error());
    renderer.keep_meshes(page_asks_whole_frames() == 0);
}

void display_page() {
    page_picture& kept = picture();
    if (sand_on) add_sand();
    limit_camera();
    kept.view = current_view();
    kept.view_drawn = true;
    draw_world(kept);
    if (kept.capture_asked) keep_picture(kept);
    for (fountain* effect : f)
        if (effect) effect->step();
    publish_status();
    ++kept.frames;
    glutPostRedisplay();
}

void resize_page(int width, int height) {
    windx = width;
    windy = height;
    glViewport(0, 0, width, height);
}

frame_view last_frame_view() {
    const page_picture& kept = picture();
    return kept.view_drawn ? kept.view : current_view();
}

long frames_drawn() { return picture().frames; }

long pictures_drawn() { return picture().pictures; }

void capture_next_frame() { picture().capture_asked = true; }

const std::vector<std::uint8_t>& captured_frame() { return picture().captured; }
int captured_width() { return picture().captured_width; }
int captured_height() { return picture().captured_height; }
