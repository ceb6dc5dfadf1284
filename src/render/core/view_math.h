#pragma once

#include "sim/world.h"

// The camera and the window as matrices, computed without GL, so that a
// drawing without matrix read-back (and the picking) gets the very matrices
// the desktop program builds with GL's own calls. Matrices are 4 x 4,
// column-major, as GL keeps them.

// The camera orbits the middle of the floor.
constexpr double ORBIT_CENTRE_X = GRID_X / 2;
constexpr double ORBIT_CENTRE_Z = GRID_Z / 2;

// The view volume: a frustum of half height 1 at the near plane, as wide as
// the window's aspect.
constexpr double FRUSTUM_HALF_HEIGHT = 1.0;
constexpr double FRUSTUM_NEAR = 2.0;
constexpr double FRUSTUM_FAR = 1000.0;

// The camera one frame is drawn with, by every backend and the picking.
struct frame_view {
    double modelview[16];   // the camera: grid coordinates to eye space
    double projection[16];  // eye space to clip space
    int viewport[4];        // x, y, width, height in window pixels
    // What follows from the matrices, for deciding which faces can show: the
    // eye in grid coordinates and the six planes of the view volume (a point
    // is inside where a x + b y + c z + d >= 0).
    double eye[3];
    double planes[6][4];
};

// The view of these matrices (column-major, as GL gives them) and viewport.
frame_view view_from_matrices(const double modelview[16], const double projection[16], const int viewport[4]);

// The model-view matrix of the camera at `elevation` and `azimuth` degrees
// and `distance` cells from the middle of the floor (taken as they are: the
// caller limits them first, as the frame does).
void camera_modelview(double elevation, double azimuth, double distance, double out[16]);

// The projection of a window `width` x `height` pixels (a height of 0 is
// taken as 1).
void window_projection(int width, int height, double out[16]);

// Both, with the viewport covering the window.
frame_view camera_view(double elevation, double azimuth, double distance, int width, int height);

// out = a b.
void multiply_matrices(const double a[16], const double b[16], double out[16]);

// False, leaving `out` alone, when `m` has no inverse.
bool invert_matrix(const double m[16], double out[16]);

// The grid point at window coordinates (x, y, depth), depth 0 at the near
// plane and 1 at the far one, as gluUnProject gives it. False when the
// matrices cannot be inverted.
bool unproject(double x, double y, double depth, const frame_view& view, double out[3]);
