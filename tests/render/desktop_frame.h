#pragma once

#include "app/app_state.h"
#include "app/frame.h"
#include "app/gl.h"
#include "render/fixed_function/fixed_function_frame.h"

// The desktop frame up to its floor: clear, and the camera at the given
// angles and distance.
inline void place_desktop_camera(double elevation, double azimuth, double distance) {
    polar_x = elevation;
    polar_y = azimuth;
    polar_d = distance;
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glLoadIdentity();
    place_camera();
}

// The desktop frame up to its cells: the camera, and the floor.
inline void start_desktop_frame(double elevation, double azimuth, double distance) {
    place_desktop_camera(elevation, azimuth, distance);
    draw_floor_quad(frame_floor());
}
