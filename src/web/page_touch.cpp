// What the page's script calls for a touch screen: one finger pours where it
// points, two fingers turn the box as the right button's drag does and pinch
// to come closer or go farther; the start view fitted to a narrow canvas; and
// the script's own lines (about links) in the status. The script turns
// touches into canvas pixels; the gestures land in the desktop's own pointer
// handling.

#include <emscripten/emscripten.h>
#include <GL/glut.h>

#include <algorithm>
#include <string>

#include "app/app_state.h"
#include "app/messages.h"
#include "app/mouse.h"

namespace {

constexpr int NO_MODIFIERS = 0;
// The desktop's window shape, at which the start distance shows the whole box.
constexpr double START_ASPECT = static_cast<double>(START_WINDOW_WIDTH) / START_WINDOW_HEIGHT;

// Starts a drag at (x, y) without moving anything: the next motion counts from here.
void hold_at(int x, int y) {
    mouse_x = x;
    mouse_y = y;
}

void lift_all() {
    handle_button(GLUT_LEFT_BUTTON, GLUT_UP);
    handle_button(GLUT_RIGHT_BUTTON, GLUT_UP);
}

// A canvas narrower than the desktop's window sees less of the box's width:
// the camera steps back until the width fits again.
double start_distance_for(int width, int height) {
    const double aspect = height > 0 ? static_cast<double>(width) / height : START_ASPECT;
    return START_DISTANCE * std::max(1.0, START_ASPECT / aspect);
}

}  // namespace

extern "C" {

// One finger down: the pen aims there and pours while it stays.
EMSCRIPTEN_KEEPALIVE void page_touch_pour(int x, int y) {
    lift_all();
    hold_at(x, y);
    handle_button(GLUT_LEFT_BUTTON, GLUT_DOWN);
    handle_pointer(x, y, NO_MODIFIERS);
}

// Two fingers down, their middle at (x, y): the pour stops and the box turns from here.
EMSCRIPTEN_KEEPALIVE void page_touch_turn(int x, int y) {
    lift_all();
    hold_at(x, y);
    handle_button(GLUT_RIGHT_BUTTON, GLUT_DOWN);
}

// The finger, or the two fingers' middle, moved.
EMSCRIPTEN_KEEPALIVE void page_touch_move(int x, int y) { handle_pointer(x, y, NO_MODIFIERS); }

EMSCRIPTEN_KEEPALIVE void page_touch_lift() { lift_all(); }

// Fingers spread by `factor`: the camera comes that much closer.
EMSCRIPTEN_KEEPALIVE void page_pinch(double factor) {
    if (factor > 0.0) polar_d /= factor;
}

// The start view for a canvas of this size. The distance the page set last
// is followed when the canvas turns; one the visitor chose stands.
EMSCRIPTEN_KEEPALIVE void page_fit_view(int width, int height) {
    static double fitted = START_DISTANCE;
    if (polar_d != fitted) return;
    polar_d = fitted = start_distance_for(width, height);
}

// A line from the page's script in the status, as the program's own messages are.
EMSCRIPTEN_KEEPALIVE void page_say(const char* text) { show_message(text); }

}  // extern "C"
