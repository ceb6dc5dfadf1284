#include "app/mouse.h"

#include <algorithm>

#include "app/app_state.h"
#include "app/gl.h"

namespace {

constexpr double CAMERA_DEGREES_PER_PIXEL = 0.75;
constexpr double PEN_CELLS_PER_PIXEL = 0.5;
constexpr double ZOOM_STEP = 5.0;

}  // namespace

void handle_pointer(int x, int y, int modifiers) {
    const int dx = mouse_x - x;  // positive when the pointer moved left
    const int dy = mouse_y - y;  // positive when it moved up
    mouse_x = x;
    mouse_y = y;

    if (modifiers == GLUT_ACTIVE_CTRL) return;
    if (camera_on) {
        polar_x += dy * CAMERA_DEGREES_PER_PIXEL;
        polar_y -= dx * CAMERA_DEGREES_PER_PIXEL;
        return;
    }
    if (modifiers == GLUT_ACTIVE_SHIFT) {
        point_y += static_cast<int>(dy * PEN_CELLS_PER_PIXEL);
        point_y = std::clamp(point_y, 0, GRID_Y - 1);
        return;
    }
    pick_cell(x, y);
}

void handle_button(int button, int state) {
    switch (button) {
    case GLUT_LEFT_BUTTON: sand_on = state == GLUT_DOWN; break;
    case GLUT_RIGHT_BUTTON: camera_on = state == GLUT_DOWN; break;
    case MOUSE_BUTTON_ZOOM_OUT:
        if (state == GLUT_UP) polar_d += ZOOM_STEP;
        break;
    case MOUSE_BUTTON_ZOOM_IN:
        if (state == GLUT_UP) polar_d -= ZOOM_STEP;
        break;
    default: break;
    }
}

void pmouse(int x, int y) { handle_pointer(x, y, glutGetModifiers()); }

void mouse(int button, int state, int x, int y) {
    handle_button(button, state);
    pmouse(x, y);
}
