#include "app/frame.h"

#include "app/app_state.h"
#include "app/gl.h"
#include "app/pen.h"
#include "app/stage.h"
#include "render/fast_renderer.h"

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

double wrap_angle(double angle) {
    if (angle >= FULL_TURN) angle -= FULL_TURN;
    if (angle < 0.0) angle += FULL_TURN;
    return angle;
}

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

void limit_camera() {
    if (polar_d < MIN_CAMERA_DISTANCE) polar_d = MIN_CAMERA_DISTANCE;
    polar_x = wrap_angle(polar_x);
    polar_y = wrap_angle(polar_y);
}

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
    draw_stage_cells();
    draw_selected_name();
    draw_stage_status();
    step_fountains();
    glutSwapBuffers();
}
