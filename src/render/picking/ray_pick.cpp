#include "render/picking/ray_pick.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "render/core/cell_drawing.h"
#include "render/core/cell_mesh.h"
#include "render/core/lighting.h"

namespace {

constexpr double NO_HIT = std::numeric_limits<double>::infinity();
constexpr double FLOOR_LOW = -CELL_HALF;
// The depth buffer the desktop picking reads holds 24-bit depths: a surface
// point is taken back at the depth stored for it, so that where it falls
// on a column's edge it falls the same way.
constexpr double DEPTH_LEVELS = (1 << 24) - 1;

struct ray {
    double origin[3];     // on the near plane
    double direction[3];  // to the far plane: t runs from 0 to 1
};

// Drawn with depth: a cell that is neither empty, nor burning (a fountain
// leaves no depth), nor too faint for the alpha test.
bool leaves_depth(const world& w, int x, int y, int z) {
    if (x < 0 || y < 0 || z < 0 || x >= GRID_X || y >= GRID_Y || z >= GRID_Z) return false;
    const ParticleType& cell = w.grid[x][y][z];
    return cell.id != TYPE_ERASER && !is_burning(cell) && static_cast<float>(cell.alpha) > ALPHA_TEST_REFERENCE;
}

// Where the ray meets the floor's upper side, the only one drawn.
double floor_hit(const ray& r) {
    if (r.direction[1] >= 0.0) return NO_HIT;
    const double t = -r.origin[1] / r.direction[1];
    if (t < 0.0 || t > 1.0) return NO_HIT;
    const double x = r.origin[0] + t * r.direction[0], z = r.origin[2] + t * r.direction[2];
    if (x < FLOOR_LOW || x > GRID_X - CELL_HALF || z < FLOOR_LOW || z > GRID_Z - CELL_HALF) return NO_HIT;
    return t;
}

// Where the ray meets a triangle facing it, from behind the near plane on.
double triangle_hit(const ray& r, const double corner[3][3]) {
    double e1[3], e2[3], p[3], s[3], q[3];
    for (int d = 0; d < 3; ++d) {
        e1[d] = corner[1][d] - corner[0][d];
        e2[d] = corner[2][d] - corner[0][d];
        s[d] = r.origin[d] - corner[0][d];
    }
    const auto cross = [](const double a[3], const double b[3], double out[3]) {
        out[0] = a[1] * b[2] - a[2] * b[1];
        out[1] = a[2] * b[0] - a[0] * b[2];
        out[2] = a[0] * b[1] - a[1] * b[0];
    };
    const auto dot = [](const double a[3], const double b[3]) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; };
    cross(r.direction, e2, p);
    const double det = dot(e1, p);
    if (det <= 0.0) return NO_HIT;  // edge-on or facing away: culled
    const double u = dot(s, p) / det;
    if (u < 0.0 || u > 1.0) return NO_HIT;
    cross(s, e1, q);
    const double v = dot(r.direction, q) / det;
    if (v < 0.0 || u + v > 1.0) return NO_HIT;
    const double t = dot(e2, q) / det;
    return t >= 0.0 && t <= 1.0 ? t : NO_HIT;
}

// The nearest sphere of a cell around (x, y, z) that the ray meets.
double nearest_sphere_around(const world& w, const sphere_mesh& sphere, const ray& r, int x, int y, int z) {
    double nearest = NO_HIT;
    for (int dx = -1; dx <= 1; ++dx)
        for (int dy = -1; dy <= 1; ++dy)
            for (int dz = -1; dz <= 1; ++dz) {
                const int cell[3] = {x + dx, y + dy, z + dz};
                if (!leaves_depth(w, cell[0], cell[1], cell[2])) continue;
                for (std::size_t t = 0; t + 2 < sphere.indices.size(); t += 3) {
                    double corner[3][3];
                    for (int c = 0; c < 3; ++c)
                        for (int d = 0; d < 3; ++d)
                            corner[c][d] = cell[d] + sphere.vertices[sphere.indices[t + c]].position[d];
                    nearest = std::min(nearest, triangle_hit(r, corner));
                }
            }
    return nearest;
}

// The part [t_in, t_out] of the ray inside the box [low, high]; false when it misses it.
bool clip_to_box(const ray& r, const double low[3], const double high[3], double& t_in, double& t_out) {
    t_in = 0.0;
    t_out = 1.0;
    for (int d = 0; d < 3; ++d) {
        if (r.direction[d] == 0.0) {
            if (r.origin[d] < low[d] || r.origin[d] > high[d]) return false;
            continue;
        }
        double a = (low[d] - r.origin[d]) / r.direction[d], b = (high[d] - r.origin[d]) / r.direction[d];
        if (a > b) std::swap(a, b);
        t_in = std::max(t_in, a);
        t_out = std::min(t_out, b);
    }
    return t_in <= t_out;
}

// The first cell surface along the ray, walking the cells it crosses in
// order. Cubes: the face by which the ray enters a cell with depth (the
// cell the ray starts in has its near faces clipped and its far ones culled).
// Spheres reach into the cells beside their own, so each cell crossed has
// its neighbours' spheres tried, until the nearest hit lies before the cell's end.
double cell_hit(const world& w, int graphics, const ray& r) {
    const bool spheres = graphics == GRAPHICS_SPHERES;
    const double margin = spheres ? 1.0 : 0.0;  // cells beside the grid hold no sphere, but meet some
    const double low[3] = {FLOOR_LOW - margin, FLOOR_LOW - margin, FLOOR_LOW - margin};
    const double high[3] = {GRID_X - CELL_HALF + margin, GRID_Y - CELL_HALF + margin, GRID_Z - CELL_HALF + margin};
    double t_in = 0.0, t_end = 0.0;
    if (!clip_to_box(r, low, high, t_in, t_end)) return NO_HIT;
    const bool starts_inside = t_in == 0.0;
    const sphere_mesh sphere = spheres ? build_cell_sphere() : sphere_mesh{};

    int cell[3], step[3], last[3];
    double t_next[3], t_delta[3];
    for (int d = 0; d < 3; ++d) {
        const double at = r.origin[d] + t_in * r.direction[d] + CELL_HALF;  // cell c spans [c, c + 1) here
        last[d] = static_cast<int>(std::lround(high[d] - CELL_HALF));
        cell[d] = std::clamp(static_cast<int>(std::floor(at)), static_cast<int>(std::lround(low[d] + CELL_HALF)),
                             last[d]);
        step[d] = r.direction[d] > 0.0 ? 1 : -1;
        if (r.direction[d] == 0.0) {
            t_next[d] = t_delta[d] = NO_HIT;
            continue;
        }
        const double boundary = cell[d] - CELL_HALF + (step[d] > 0 ? 1.0 : 0.0);
        t_next[d] = (boundary - r.origin[d]) / r.direction[d];
        t_delta[d] = std::fabs(1.0 / r.direction[d]);
    }

    double nearest = NO_HIT;
    for (bool first = true;; first = false) {
        const int axis = t_next[0] <= t_next[1] && t_next[0] <= t_next[2] ? 0 : t_next[1] <= t_next[2] ? 1 : 2;
        const double t_out = t_next[axis];
        if (spheres) {
            nearest = std::min(nearest, nearest_sphere_around(w, sphere, r, cell[0], cell[1], cell[2]));
            if (nearest <= t_out) return nearest;
        } else if (!(first && starts_inside) && leaves_depth(w, cell[0], cell[1], cell[2])) {
            return t_in;
        }
        if (t_out > t_end) return nearest;
        cell[axis] += step[axis];
        t_in = t_out;
        t_next[axis] += t_delta[axis];
    }
}

double window_depth(const frame_view& view, const double point[3]) {
    double clip_from_grid[16];
    multiply_matrices(view.projection, view.modelview, clip_from_grid);
    double clip[4];
    for (int row = 0; row < 4; ++row)
        clip[row] = clip_from_grid[row] * point[0] + clip_from_grid[4 + row] * point[1] +
                    clip_from_grid[8 + row] * point[2] + clip_from_grid[12 + row];
    return (clip[2] / clip[3] + 1.0) / 2.0;
}

// The cell along one axis of a point of the scene; false for a point that
// is not a number. Truncates toward zero, then keeps the cell in the grid.
bool cell_of(double coordinate, int extent, int& cell) {
    if (!std::isfinite(coordinate)) return false;
    cell = static_cast<int>(std::clamp(coordinate, 0.0, static_cast<double>(extent - 1)));
    return true;
}

}  // namespace

bool ray_pick(const world& w, int graphics, const frame_view& view, int pointer_x, int pointer_y, int& cell_x,
              int& cell_z) {
    const int width = view.viewport[2], height = view.viewport[3];
    if (width <= 0 || height <= 0) return false;
    // The pixel under the pointer, kept inside the window as the depth read is.
    const double column = view.viewport[0] + std::clamp(pointer_x, 0, width - 1);
    const double row = view.viewport[1] + std::clamp(height - pointer_y, 0, height - 1);

    // The depth drawn there is that of the surface under the pixel's centre;
    // the point is then taken at the pixel's corner, as the depth picking does.
    constexpr double PIXEL_CENTRE = 0.5;
    double near_point[3], far_point[3];
    if (!unproject(column + PIXEL_CENTRE, row + PIXEL_CENTRE, 0.0, view, near_point) ||
        !unproject(column + PIXEL_CENTRE, row + PIXEL_CENTRE, 1.0, view, far_point))
        return false;
    ray r;
    for (int d = 0; d < 3; ++d) {
        r.origin[d] = near_point[d];
        r.direction[d] = far_point[d] - near_point[d];
    }
    const double t = std::min(cell_hit(w, graphics, r), floor_hit(r));
    double depth = 1.0;
    if (t != NO_HIT) {
        double hit[3];
        for (int d = 0; d < 3; ++d) hit[d] = r.origin[d] + t * r.direction[d];
        depth = std::round(window_depth(view, hit) * DEPTH_LEVELS) / DEPTH_LEVELS;
    }

    double point[3];
    if (!unproject(column, row, depth, view, point)) return false;
    int x = 0, z = 0;
    if (!cell_of(point[0], GRID_X, x) || !cell_of(point[2], GRID_Z, z)) return false;
    cell_x = x;
    cell_z = z;
    return true;
}
