#include "render/core/view_math.h"

#include <cmath>
#include <utility>

namespace {

constexpr double PI = 3.14159265358979323846;
constexpr double DEGREES_PER_HALF_TURN = 180.0;

double& at(double m[16], int row, int column) { return m[column * 4 + row]; }
double at(const double m[16], int row, int column) { return m[column * 4 + row]; }

void identity(double m[16]) {
    for (int i = 0; i < 16; ++i) m[i] = i % 5 == 0 ? 1.0 : 0.0;
}

// m = m t, as glTranslated does.
void translate(double m[16], double x, double y, double z) {
    for (int row = 0; row < 4; ++row) at(m, row, 3) += at(m, row, 0) * x + at(m, row, 1) * y + at(m, row, 2) * z;
}

// m = m r, r the rotation by `degrees` about the coordinate axis `axis`, as glRotated does.
void rotate(double m[16], double degrees, int axis) {
    const double radians = degrees * PI / DEGREES_PER_HALF_TURN;
    const double c = std::cos(radians), s = std::sin(radians);
    const int a = (axis + 1) % 3, b = (axis + 2) % 3;  // the plane turned, in right-handed order
    for (int row = 0; row < 4; ++row) {
        const double ma = at(m, row, a), mb = at(m, row, b);
        at(m, row, a) = ma * c + mb * s;
        at(m, row, b) = mb * c - ma * s;
    }
}

constexpr int AXIS_X = 0;
constexpr int AXIS_Y = 1;

}  // namespace

void camera_modelview(double elevation, double azimuth, double distance, double out[16]) {
    identity(out);
    translate(out, 0.0, 0.0, -distance);
    rotate(out, elevation, AXIS_X);
    rotate(out, azimuth, AXIS_Y);
    translate(out, -ORBIT_CENTRE_X, 0.0, -ORBIT_CENTRE_Z);
}

void window_projection(int width, int height, double out[16]) {
    const int aspect_height = height > 0 ? height : 1;
    const double aspect = static_cast<double>(static_cast<float>(width) / static_cast<float>(aspect_height));
    const double left = -aspect, right = aspect, bottom = -FRUSTUM_HALF_HEIGHT, top = FRUSTUM_HALF_HEIGHT;
    for (int i = 0; i < 16; ++i) out[i] = 0.0;
    at(out, 0, 0) = 2.0 * FRUSTUM_NEAR / (right - left);
    at(out, 1, 1) = 2.0 * FRUSTUM_NEAR / (top - bottom);
    at(out, 0, 2) = (right + left) / (right - left);
    at(out, 1, 2) = (top + bottom) / (top - bottom);
    at(out, 2, 2) = -(FRUSTUM_FAR + FRUSTUM_NEAR) / (FRUSTUM_FAR - FRUSTUM_NEAR);
    at(out, 3, 2) = -1.0;
    at(out, 2, 3) = -2.0 * FRUSTUM_FAR * FRUSTUM_NEAR / (FRUSTUM_FAR - FRUSTUM_NEAR);
}

frame_view camera_view(double elevation, double azimuth, double distance, int width, int height) {
    frame_view view{};
    camera_modelview(elevation, azimuth, distance, view.modelview);
    window_projection(width, height, view.projection);
    view.viewport[2] = width;
    view.viewport[3] = height;
    return view;
}

void multiply_matrices(const double a[16], const double b[16], double out[16]) {
    double product[16];
    for (int row = 0; row < 4; ++row)
        for (int column = 0; column < 4; ++column) {
            double sum = 0.0;
            for (int k = 0; k < 4; ++k) sum += at(a, row, k) * at(b, k, column);
            at(product, row, column) = sum;
        }
    for (int i = 0; i < 16; ++i) out[i] = product[i];
}

// Gauss-Jordan elimination with partial pivoting.
bool invert_matrix(const double m[16], double out[16]) {
    double left[16], right[16];
    for (int i = 0; i < 16; ++i) left[i] = m[i];
    identity(right);
    for (int column = 0; column < 4; ++column) {
        int pivot = column;
        for (int row = column + 1; row < 4; ++row)
            if (std::fabs(at(left, row, column)) > std::fabs(at(left, pivot, column))) pivot = row;
        const double pivot_value = at(left, pivot, column);
        if (pivot_value == 0.0 || !std::isfinite(pivot_value)) return false;
        for (int k = 0; k < 4; ++k) {
            std::swap(at(left, pivot, k), at(left, column, k));
            std::swap(at(right, pivot, k), at(right, column, k));
        }
        for (int k = 0; k < 4; ++k) {
            at(left, column, k) /= pivot_value;
            at(right, column, k) /= pivot_value;
        }
        for (int row = 0; row < 4; ++row) {
            if (row == column) continue;
            const double factor = at(left, row, column);
            for (int k = 0; k < 4; ++k) {
                at(left, row, k) -= factor * at(left, column, k);
                at(right, row, k) -= factor * at(right, column, k);
            }
        }
    }
    for (int i = 0; i < 16; ++i) out[i] = right[i];
    return true;
}

bool unproject(double x, double y, double depth, const frame_view& view, double out[3]) {
    double clip_from_grid[16], grid_from_clip[16];
    multiply_matrices(view.projection, view.modelview, clip_from_grid);
    if (!invert_matrix(clip_from_grid, grid_from_clip)) return false;
    if (view.viewport[2] == 0 || view.viewport[3] == 0) return false;
    const double clip[4] = {(x - view.viewport[0]) / view.viewport[2] * 2.0 - 1.0,
                            (y - view.viewport[1]) / view.viewport[3] * 2.0 - 1.0, depth * 2.0 - 1.0, 1.0};
    double point[4];
    for (int row = 0; row < 4; ++row) {
        point[row] = 0.0;
        for (int k = 0; k < 4; ++k) point[row] += at(grid_from_clip, row, k) * clip[k];
    }
    if (point[3] == 0.0) return false;
    for (int d = 0; d < 3; ++d) out[d] = point[d] / point[3];
    return true;
}
