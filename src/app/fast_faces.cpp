#include "app/fast_faces.h"

#include <cmath>

#include "app/cell_mesh.h"
#include "sim/neighbours.h"

namespace {

constexpr double CUBE_HALF = 0.5;
// Faces this close to edge-on, and boxes this close to a clip plane, are left
// for GL to decide.
constexpr double FACING_MARGIN = 1e-4;
constexpr double CLIP_MARGIN = 1e-3;

double at(const double m[16], int row, int column) { return m[column * 4 + row]; }

// Smallest and largest value of a plane's function over a box.
double plane_at_centre(const double plane[4], int x, int y, int z) {
    return plane[0] * x + plane[1] * y + plane[2] * z + plane[3];
}

double plane_reach(const double plane[4], double half) {
    return half * (std::fabs(plane[0]) + std::fabs(plane[1]) + std::fabs(plane[2]));
}

bool blended(cell_look look) { return look == cell_look::see_through || look == cell_look::faint; }

}  // namespace

view_geometry view_from_matrices(const double modelview[16], const double projection[16]) {
    view_geometry view{};

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

bool box_outside_view(const view_geometry& view, int x, int y, int z, double half) {
    const double low[3] = {x - half, y - half, z - half};
    const double high[3] = {x + half, y + half, z + half};
    return box_outside_view(view, low, high);
}

bool box_outside_view(const view_geometry& view, const double low[3], const double high[3]) {
    for (const auto& plane : view.planes) {
        // The corner of the box farthest along the plane's normal.
        double reach = plane[3];
        for (int d = 0; d < 3; ++d) reach += plane[d] * (plane[d] > 0 ? high[d] : low[d]);
        if (reach < -CLIP_MARGIN) return true;
    }
    return false;
}

bool box_beyond_near(const view_geometry& view, int x, int y, int z, double half) {
    const double* plane = view.planes[NEAR_PLANE];
    return plane_at_centre(plane, x, y, z) - plane_reach(plane, half) > CLIP_MARGIN;
}

face_fate cube_face_fate(const frame_record& record, const view_geometry& view, int x, int y, int z, int face) {
    const int axis = face_axis(face);
    const int sign = face_sign(face);
    int cell[3] = {x, y, z};
    const double face_plane = cell[axis] + sign * CUBE_HALF;
    const double toward_eye = (view.eye[axis] - face_plane) * sign;
    if (toward_eye < -FACING_MARGIN) return face_fate::culled;
    if (toward_eye <= FACING_MARGIN) return face_fate::drawn;

    cell[axis] += sign;
    if (!inside_grid(cell[0], cell[1], cell[2])) return face_fate::drawn;
    const int key = sweep_key(x, y, z);
    const int neighbour = sweep_key(cell[0], cell[1], cell[2]);
    const cell_look look = record.look(neighbour);
    if (look != cell_look::opaque && look != cell_look::see_through) return face_fate::drawn;
    if (!box_beyond_near(view, cell[0], cell[1], cell[2], CUBE_HALF)) return face_fate::drawn;
    if (neighbour < key) return face_fate::hidden;

    if (look != cell_look::opaque) return face_fate::drawn;
    const std::uint32_t blended_between =
        record.blended_before(neighbour) - record.blended_before(key) - (blended(record.look(key)) ? 1 : 0);
    return blended_between == 0 ? face_fate::hidden : face_fate::drawn;
}
