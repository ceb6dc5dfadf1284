#include "app/frame.h"

#include <chrono>
#include <string>
#include <utility>
#include <vector>

#include "app/app_state.h"
#include "app/gl.h"
#include "app/pen.h"
#include "render/fast_renderer.h"
#include "render/fixed_function_frame.h"
#include "render/view_math.h"

#if !GRAINVOX_EARLY_STAGE
#include "app/messages.h"
#include "app/overlay.h"
#endif

namespace {

constexpr int TEXT_OFFSET = 2;  // cells beyond the pen, on each axis

// A white wire cube on the pen cell and red ones below it, down to the floor.
void draw_pen_marker() {
    static std::vector<wire_cube> cubes;  // kept, so that a frame allocates nothing
    pen_marker_cubes(point_x, point_y, point_z, pen_size, cubes);
    draw_wire_cubes(cubes);
}

// The program draws one frame at a time on the GLUT thread; the renderer's
// buffers live as long as the program.
fast_renderer& cell_renderer() {
    static fast_renderer renderer;
    return renderer;
}

void write_characters(const char* text) {
    for (const char* c = text; *c != '\0'; ++c)
        glutBitmapCharacter(GLUT_BITMAP_HELVETICA_18, static_cast<signed char>(*c));
}

void draw_selected_name() {
    glPushMatrix();
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    render_text(w->types[selected_type].name);
    glPopMatrix();
}

#if GRAINVOX_EARLY_STAGE

void draw_cells() { draw_sweep(*w, graphics); }

#else

constexpr const char* STATUS_GAP = "   ";

// Paused, the world is drawn as it stands unless one step was asked for.
// With the overlay on, the cells' time is measured, and the part of it that
// went to handing them to GL.
void draw_cells() {
    const bool steps = !paused || std::exchange(single_step_asked, false);
    fast_renderer& renderer = cell_renderer();
    renderer.measure_drawing(overlay_on);
    const auto start = overlay_on ? std::chrono::steady_clock::now() : std::chrono::steady_clock::time_point{};
    if (steps)
        renderer.draw(*w, graphics, f);
    else
        renderer.draw_still(*w, graphics, f);
    if (overlay_on)
        overlay_frame_drawn(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(),
                            renderer.drawing_seconds());
}

// Whether the world is paused, and the latest message, written on from
// where the material name ends.
void write_beside_name() {
    if (paused) write_characters((std::string(STATUS_GAP) + "paused").c_str());
    const std::string& message = message_at(std::chrono::steady_clock::now());
    if (!message.empty()) write_characters((STATUS_GAP + message).c_str());
}

#endif

void step_fountains() {
    for (fountain* effect : f)
        if (effect) effect->step();
}

}  // namespace

void place_camera() {
    limit_camera();
    glTranslated(0.0, 0.0, -polar_d);
    glRotated(polar_x, 1.0, 0.0, 0.0);
    glRotated(polar_y, 0.0, 1.0, 0.0);
    glTranslated(-ORBIT_CENTRE_X, 0.0, -ORBIT_CENTRE_Z);
}

void draw_floor() {
    glPushMatrix();
    draw_floor_quad(frame_floor());
    glPopMatrix();
}

void render_text(const char* text) {
    glRasterPos3f(static_cast<float>(point_x + TEXT_OFFSET), static_cast<float>(point_y + TEXT_OFFSET),
                  static_cast<float>(point_z + TEXT_OFFSET));
    write_characters(text);
}

void draw_sweep(world& w, int graphics) { cell_renderer().draw(w, graphics, f); }

void display() {
    if (sand_on) add_sand();

    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glLoadIdentity();
    place_camera();
    draw_floor();
    draw_pen_marker();
    draw_cells();
    draw_selected_name();
#if !GRAINVOX_EARLY_STAGE
    write_beside_name();
    draw_overlay();
#endif
    step_fountains();
    glutSwapBuffers();
}
