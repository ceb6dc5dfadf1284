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
    double modelview[16], projection[16];
    camera_modelview(elevation, azimuth, distance, modelview);
    window_projection(width, height, projection);
    const int viewport[4] = {0, 0, width, height};
    return view_from_matrices(modelview, projection, viewport);
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

frame_view view_from_matrices(const double modelview[16], const double projection[16], const int viewport[4]) {
    frame_view view{};
    for (int i = 0; i < 16; ++i) {
        view.modelview[i] = modelview[i];
        view.projection[i] = projection[i];
    }
    for (int i = 0; i < 4; ++i) view.viewport[i] = viewport[i];

    // The eye is where the model-view matrix sends a point to the origin:
    // solve R e = -t by Cramer's rule.
    const double r[3][3] = {{at(modelview, 0, 0), at(modelview, 0, 1), at(modelview, 0, 2)},
                            {at(modelview, 1, 0), at(modelview, 1, 1), at(modelview, 1, 2)},
                            {at(modelview, 2, 0), at(modelview, 2, 1), at(modelview, 2, 2)}};
    const double t[3] = {-at(modelview, 0, 3), -at(modelview, 1, 3), -at(modelview, 2, 3)};
    const auto det3 = [](const double m[3][3]) {
        return m[0][0] * (m[1][1] * m[2][2] - m[1][2] * m[2][1]) - m[0][1] * (m[1][0] * m[2][2] - m[1][2] * m[2][0]) +
               m[0][2] * (m[1][0] * m[2][1] - m[1][1] * m[2][0]);
    };
    const double det = det3(r);
    for (int column = 0; column < 3; ++column) {
        double replaced[3][3];
        for (int i = 0; i < 3; ++i)
            for (int j = 0; j < 3; ++j) replaced[i][j] = j == column ? t[i] : r[i][j];
        view.eye[column] = det3(replaced) / det;
    }

    double clip[4][4];  // projection times model-view, by rows
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j) {
            clip[i][j] = 0.0;
            for (int k = 0; k < 4; ++k) clip[i][j] += at(projection, i, k) * at(modelview, k, j);
        }
    // Left, right, bottom, top, near, far: w + x >= 0, w - x >= 0, and so on.
    for (int plane = 0; plane < 6; ++plane) {
        const int row = plane / 2;
        const double sign = plane % 2 == 0 ? 1.0 : -1.0;
        for (int j = 0; j < 4; ++j) view.planes[plane][j] = clip[3][j] + sign * clip[row][j];
    }
    return view;
}
