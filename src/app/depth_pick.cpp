#include "app/mouse.h"

#include <algorithm>
#include <cmath>

#include "app/app_state.h"
#include "app/gl.h"

// Picking by the depth the last frame left under the pointer.

namespace {

constexpr GLfloat CLEARED_DEPTH = 1.0f;

// The cell along one axis of a point of the scene; false for a point that
// is not a number. Truncates toward zero, then keeps the cell in the grid.
bool cell_of(double coordinate, int extent, int& cell) {
    if (!std::isfinite(coordinate)) return false;
    cell = static_cast<int>(std::clamp(coordinate, 0.0, static_cast<double>(extent - 1)));
    return true;
}

// The depth buffer holds the last frame only while the window keeps the size
// of the viewport that frame was drawn in. Pointer events queued before a
// resize notice arrive when it no longer does; the window system's own
// answer is the size the buffers are about to take.
bool window_has_viewport_size(const GLint viewport[4]) {
    return glutGet(GLUT_WINDOW_WIDTH) == viewport[2] && glutGet(GLUT_WINDOW_HEIGHT) == viewport[3];
}

// GL brings its buffers to the window's size lazily, at the first call after
// a buffer swap that uses them, and Mesa clips a pixel read to the old size
// before it resizes the buffers the read is then served from. A pixel at the
// origin lies inside any window: reading it first settles the size.
void settle_buffer_size() {
    GLfloat depth = CLEARED_DEPTH;
    glReadPixels(0, 0, 1, 1, GL_DEPTH_COMPONENT, GL_FLOAT, &depth);
}

}  // namespace

bool pick_cell(int x, int y) {
    GLdouble modelview[16];
    GLdouble projection[16];
    GLint viewport[4];
    glGetDoublev(GL_PROJECTION_MATRIX, projection);
    glGetDoublev(GL_MODELVIEW_MATRIX, modelview);
    glGetIntegerv(GL_VIEWPORT, viewport);

    const GLint width = viewport[2];
    const GLint height = viewport[3];
    if (width <= 0 || height <= 0 || !window_has_viewport_size(viewport)) return false;
    settle_buffer_size();

    // Window rows count up from the bottom, 0..height-1; the pointer may lie
    // on the top row or outside the window, so the read is kept inside it.
    const GLint column = std::clamp(x, 0, width - 1);
    const GLint row = std::clamp(height - y, 0, height - 1);

    GLfloat depth = CLEARED_DEPTH;
    glReadPixels(viewport[0] + column, viewport[1] + row, 1, 1, GL_DEPTH_COMPONENT, GL_FLOAT, &depth);

    GLdouble ox = 0.0, oy = 0.0, oz = 0.0;
    if (gluUnProject(viewport[0] + column, viewport[1] + row, depth, modelview, projection, viewport, &ox, &oy,
                     &oz) != GL_TRUE)
        return false;

    int cell_x = 0, cell_z = 0;
    if (!cell_of(ox, GRID_X, cell_x) || !cell_of(oz, GRID_Z, cell_z)) return false;
    point_x = cell_x;
    point_z = cell_z;
    return true;
}
