#pragma once

#include "app/app_state.h"
#include "app/frame.h"
#include "app/gl.h"

// The desktop frame up to its cells: clear, the camera at the given angles
// and distance, and the floor.
inline void start_desktop_frame(double elevation, double azimuth, double distance) {
    polar_x = elevation;
    polar_y = azimuth;
    polar_d = distance;
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glLoadIdentity();
    place_camera();
    draw_floor();
}
