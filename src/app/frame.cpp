#include "app/frame.h"

#include <chrono>
#include <string>
#include <utility>

#include "app/app_state.h"
#include "app/gl.h"
#include "app/pen.h"
#include "render/fast_renderer.h"

#if !GRAINVOX_EARLY_STAGE
#include "app/messages.h"
#include "app/overlay.h"
#endif

namespace {

// The eye looks at the middle of the floor.
constexpr double ORBIT_CENTRE_X = GRID_X / 2;
constexpr double ORBIT_CENTRE_Z = GRID_Z / 2;

// The floor lies in the plane of the bottom cells' centres and covers the grid.
constexpr double CELL_HALF = 0.5;
constexpr double FLOOR_LOW = -CELL_HALF;
constexpr double FLOOR_HIGH_X = GRID_X - CELL_HALF;
constexpr double FLOOR_HIGH_Z = GRID_Z - CELL_HALF;

constexpr int TEXT_OFFSET = 2;  // cells beyond the pen, on each axis

// A white wire cube on the pen cell and red ones below it, one pen size
// apart, down to the floor.
void draw_pen_marker() {
    glPushMatrix();
    glTranslated(point_x, point_y, point_z);
    // Size 0 (between two applications of a size-1 pen) shows as 1; a size
    // below 1 must never reach the loop, which would not end.
    const int edge = pen_size > 0 ? pen_size : 1;
    for (int h = point_y; h >= 0; h -= edge) {
        if (h == point_y) {
            glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
        } else {
            glColor4f(1.0f, 0.0f, 0.0f, 1.0f);
            glTranslated(0.0, -edge, 0.0);
        }
        glutWireCube(edge);
    }
    glPopMatrix();
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
    glColor4f(0.5f, 0.5f, 0.5f, 1.0f);
    glBegin(GL_QUADS);
    glVertex3d(FLOOR_LOW, 0.0, FLOOR_LOW);
    glVertex3d(FLOOR_LOW, 0.0, FLOOR_HIGH_Z);
    glVertex3d(FLOOR_HIGH_X, 0.0, FLOOR_HIGH_Z);
    glVertex3d(FLOOR_HIGH_X, 0.0, FLOOR_LOW);
    glEnd();
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
