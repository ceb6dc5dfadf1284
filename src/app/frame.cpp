#include "app/frame.h"

#include "app/app_state.h"
#include "app/gl.h"
#include "app/pen.h"
#include "app/stage.h"
#include "render/fixed_function/fast_renderer.h"
#include "render/core/view_math.h"

namespace {

constexpr int TEXT_OFFSET = 2;  // cells beyond the pen, on each axis

void draw_selected_name() {
    glPushMatrix();
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    render_text(w->types[selected_type].name);
    glPopMatrix();
}

void step_fountains() {
    for (fountain* effect : f)
        if (effect) effect->step();
}

}  // namespace

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

void place_camera() {
    limit_camera();
    glTranslated(0.0, 0.0, -polar_d);
    glRotated(polar_x, 1.0, 0.0, 0.0);
    glRotated(polar_y, 0.0, 1.0, 0.0);
    glTranslated(-ORBIT_CENTRE_X, 0.0, -ORBIT_CENTRE_Z);
}

void render_text(const char* text) {
    glRasterPos3f(static_cast<float>(point_x + TEXT_OFFSET), static_cast<float>(point_y + TEXT_OFFSET),
                  static_cast<float>(point_z + TEXT_OFFSET));
    write_characters(text);
}

void draw_sweep(world& w, int graphics) { cell_renderer().draw(w, graphics, f); }

void draw_scene_and_cells(bool steps) {
    cell_renderer().draw_frame(*w, steps, graphics, {point_x, point_y, point_z, pen_size}, f);
}

void display() {
    if (sand_on) add_sand();

    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glLoadIdentity();
    place_camera();
    draw_stage_cells();
    draw_selected_name();
    draw_stage_status();
    step_fountains();
    glutSwapBuffers();
}
