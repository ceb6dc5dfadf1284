#include "app/keys.h"

#include <cstdlib>

#include "app/app_state.h"
#include "app/gl.h"
#include "app/pen.h"
#include "app/stage.h"

namespace {

constexpr unsigned char KEY_ESCAPE = 27;
constexpr double ZOOM_STEP = 5.0;
constexpr double AZIMUTH_STEP = 90.0;
constexpr double TOP_VIEW_ELEVATION = 90.0;

void grow_pen() {
    ++pen_size;
    if (pen_size > PEN_SIZE_MAX) pen_size = PEN_SIZE_MAX;
}

void shrink_pen() {
    --pen_size;
    if (pen_size < PEN_SIZE_MIN) pen_size = PEN_SIZE_MIN;
}

}  // namespace

[[noreturn]] void quit() {
    for (fountain*& effect : f) {
        delete effect;
        effect = nullptr;
    }
    std::exit(0);
}

void cycle_type(int phase, int tries) {
    if (tries == NO_MORE_TRIES) return;
    selected_type = (selected_type + 1) % TYPE_COUNT;
    if (phase == ANY_PHASE) return;
    if (w->types[selected_type].phase == phase) return;
    cycle_type(phase, tries - 1);
}

void handle_key(unsigned char c) {
    switch (c) {
    case KEY_ESCAPE:
    case 'q': quit();
    case 'l': add_sand(); break;
    case 'p': next_type(); break;
    case 's': graphics = (graphics + 1) % 2; break;
    case 'a': polar_d -= ZOOM_STEP; break;
    case 'z': polar_d += ZOOM_STEP; break;
    case '+':
    case '=': grow_pen(); break;
    case '-': shrink_pen(); break;
    default: handle_stage_key(c); break;
    }
}

void handle_special_key(int k) {
    switch (k) {
    case GLUT_KEY_F1:
        polar_x = TOP_VIEW_ELEVATION;
        polar_y = START_AZIMUTH;
        break;
    case GLUT_KEY_F2:
        polar_x = START_ELEVATION;
        polar_y = START_AZIMUTH;
        break;
    case GLUT_KEY_F3: polar_y -= AZIMUTH_STEP; break;
    case GLUT_KEY_F4: polar_y += AZIMUTH_STEP; break;
    case GLUT_KEY_F10: reset_world(); break;
    case GLUT_KEY_LEFT: --point_x; break;
    case GLUT_KEY_RIGHT: ++point_x; break;
    case GLUT_KEY_UP: --point_z; break;
    case GLUT_KEY_DOWN: ++point_z; break;
    case GLUT_KEY_PAGE_UP: point_y += pen_size; break;
    case GLUT_KEY_PAGE_DOWN: point_y -= pen_size; break;
    default: handle_stage_special_key(k); break;
    }
    clamp_pen_cell();
}

void key(unsigned char c, int, int) {
    handle_key(c);
    glutPostRedisplay();
}

void speckey(int k, int, int) {
    handle_special_key(k);
    glutPostRedisplay();
}
