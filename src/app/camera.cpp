#include "app/frame.h"

#include "app/app_state.h"

// The camera's bounds, applied once a frame; no drawing here.

namespace {

double wrap_angle(double angle) {
    if (angle >= FULL_TURN) angle -= FULL_TURN;
    if (angle < 0.0) angle += FULL_TURN;
    return angle;
}

}  // namespace

void limit_camera() {
    if (polar_d < MIN_CAMERA_DISTANCE) polar_d = MIN_CAMERA_DISTANCE;
    polar_x = wrap_angle(polar_x);
    polar_y = wrap_angle(polar_y);
}
