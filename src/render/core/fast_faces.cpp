#include "render/core/fast_faces.h"

#include <cmath>

#include "render/core/cell_mesh.h"
#include "sim/neighbours.h"

namespace {

// Boxes this close to a clip plane are left for GL to decide.
constexpr double CLIP_MARGIN = 1e-3;

}  // namespace

namespace {

// A cell's box, its centre `half` away from each face.
struct cell_box {
    double low[3], high[3];
    cell_box(int x, int y, int z, double half)
        : low{x - half, y - half, z - half}, high{x + half, y + half, z + half} {}
};

// The plane's value at the box's corner farthest along its normal. With the
// corners given the other way round, the nearest corner's value.
double plane_at_far_corner(const double plane[4], const double low[3], const double high[3]) {
    double value = plane[3];
    for (int d = 0; d < 3; ++d) value += plane[d] * (plane[d] > 0 ? high[d] : low[d]);
    return value;
}

}  // namespace

bool box_outside_view(const frame_view& view, int x, int y, int z, double half) {
    const cell_box box(x, y, z, half);
    return box_outside_view(view, box.low, box.high);
}

bool box_outside_view(const frame_view& view, const double low[3], const double high[3]) {
    for (const auto& plane : view.planes)
        if (plane_at_far_corner(plane, low, high) < -CLIP_MARGIN) return true;
    return false;
}

bool box_beyond_near(const frame_view& view, int x, int y, int z, double half) {
    const cell_box box(x, y, z, half);
    return box_beyond_near(view, box.low, box.high);
}

bool box_beyond_near(const frame_view& view, const double low[3], const double high[3]) {
    return plane_at_far_corner(view.planes[NEAR_PLANE], high, low) > CLIP_MARGIN;
}

namespace {

// Whether the face toward neighbour (nx, ny, nz) reaches the picture, given
// that it faces the eye and the neighbour is inside the grid. `near_checked`
// says the neighbour is already known to lie beyond the near plane.
inline face_fate fate_beside(const frame_record& record, const frame_view& view, int key, int nx, int ny, int nz,
                             bool near_checked) {
    const int neighbour = sweep_key(nx, ny, nz);
    const cell_look look = record.look(neighbour);
    if (look != cell_look::opaque && look != cell_look::see_through) return face_fate::drawn;
    if (!near_checked && !box_beyond_near(view, nx, ny, nz, CELL_HALF)) return face_fate::drawn;
    if (neighbour < key) return face_fate::hidden;

    if (look != cell_look::opaque) return face_fate::drawn;
    const std::uint32_t blended_between =
        record.blended_before(neighbour) - record.blended_before(key) - (blended(record.look(key)) ? 1 : 0);
    return blended_between == 0 ? face_fate::hidden : face_fate::drawn;
}

}  // namespace

face_fate fate_by_facing(const frame_view& view, int axis, int sign, int coordinate, bool& decided) {
    const double face_plane = coordinate + sign * CELL_HALF;
    const double toward_eye = (view.eye[axis] - face_plane) * sign;
    decided = toward_eye <= FACING_MARGIN;
    return toward_eye < -FACING_MARGIN ? face_fate::culled : face_fate::drawn;
}

face_fate cube_face_fate(const frame_record& record, const frame_view& view, int x, int y, int z, int face) {
    const int axis = face_axis(face);
    const int sign = face_sign(face);
    int cell[3] = {x, y, z};
    bool decided = false;
    const face_fate by_facing = fate_by_facing(view, axis, sign, cell[axis], decided);
    if (decided) return by_facing;

    cell[axis] += sign;
    if (!inside_grid(cell[0], cell[1], cell[2])) return face_fate::drawn;
    return fate_beside(record, view, sweep_key(x, y, z), cell[0], cell[1], cell[2], false);
}

void run_face_fates(const frame_record& record, const frame_view& view, int x, int y, int z_first, int length,
                    face_fate (*fates)[CUBE_FACES]) {
    for (int face = 0; face < CUBE_FACES; ++face) {
        const int axis = face_axis(face);
        const int sign = face_sign(face);
        if (axis == 2) {
            // Along the row the neighbours are the row's own cells and the one past each end.
            const double low[3] = {x - CELL_HALF, y - CELL_HALF, z_first - 1 - CELL_HALF};
            const double high[3] = {x + CELL_HALF, y + CELL_HALF, z_first + length + CELL_HALF};
            const bool row_beyond_near = box_beyond_near(view, low, high);
            for (int i = 0; i < length; ++i) {
                const int cell[3] = {x, y, z_first + i};
                bool decided = false;
                fates[i][face] = fate_by_facing(view, axis, sign, cell[2], decided);
                if (decided) continue;
                const int neighbour_z = cell[2] + sign;
                fates[i][face] = inside_grid(x, y, neighbour_z) ? fate_beside(record, view, sweep_key(x, y, cell[2]), x,
                                                                              y, neighbour_z, row_beyond_near)
                                                                : face_fate::drawn;
            }
            continue;
        }
        // Across the row, facing and the neighbouring row are the same for every cell.
        int neighbour[3] = {x, y, z_first};
        bool decided = false;
        face_fate uniform = fate_by_facing(view, axis, sign, neighbour[axis], decided);
        neighbour[axis] += sign;
        if (!decided && !inside_grid(neighbour[0], neighbour[1], neighbour[2])) {
            decided = true;
            uniform = face_fate::drawn;
        }
        if (decided) {
            for (int i = 0; i < length; ++i) fates[i][face] = uniform;
            continue;
        }
        const double low[3] = {neighbour[0] - CELL_HALF, neighbour[1] - CELL_HALF, z_first - CELL_HALF};
        const double high[3] = {neighbour[0] + CELL_HALF, neighbour[1] + CELL_HALF, z_first + length - 1 + CELL_HALF};
        const bool row_beyond_near = box_beyond_near(view, low, high);
        for (int i = 0; i < length; ++i)
            fates[i][face] = fate_beside(record, view, sweep_key(x, y, z_first + i), neighbour[0], neighbour[1],
                                         z_first + i, row_beyond_near);
    }
}
