#pragma once

#include "render/core/cell_mesh.h"
#include "render/core/fast_frame_record.h"
#include "render/core/view_math.h"

// Which faces of a frame's cubes can reach the picture. Decided on the CPU
// only where the answer is certain; everything else is left to GL.

constexpr int NEAR_PLANE = 4;

// Faces this close to edge-on are left for GL to decide (in cells).
constexpr double FACING_MARGIN = 1e-4;

// True when no point of the box of half edge `half` around (x, y, z) is inside the view volume.
bool box_outside_view(const frame_view& view, int x, int y, int z, double half);
// The same for the box between two corners.
bool box_outside_view(const frame_view& view, const double low[3], const double high[3]);
// True when the whole box lies beyond the near plane, so none of it is clipped there.
bool box_beyond_near(const frame_view& view, int x, int y, int z, double half);
// The same for the box between two corners.
bool box_beyond_near(const frame_view& view, const double low[3], const double high[3]);

enum class face_fate {
    culled,  // faces away from the eye: GL would cull it
    hidden,  // every fragment fails the depth test, or is overwritten by an opaque one
    drawn,
};

// Culled, or drawn when the face is seen edge on, where facing alone decides
// the fate of the face along `axis` (toward `sign`) of the cell at
// `coordinate` on that axis; `decided` says whether it did.
face_fate fate_by_facing(const frame_view& view, int axis, int sign, int coordinate, bool& decided);

// The fate of one face (numbered as in cell_mesh.h) of the cube drawn for
// cell (x, y, z) this frame. A face that meets a cell drawn earlier lies
// behind that cell's near faces, which already wrote a smaller depth. A face
// that meets an opaque cell drawn later is painted over by it, unless a
// blended cell drawn in between could show it.
face_fate cube_face_fate(const frame_record& record, const frame_view& view, int x, int y, int z, int face);

// cube_face_fate for all six faces of each cube of a run along z: cells
// (x, y, z_first) to (x, y, z_first + length - 1), in fates[0] to fates[length - 1].
void run_face_fates(const frame_record& record, const frame_view& view, int x, int y, int z_first, int length,
                    face_fate (*fates)[CUBE_FACES]);

// Hands the drawn faces of a run of cubes along a row, in one colour, to
// add(first, last, face) (cells run[first] to run[last] as one long face), in
// the order the picture needs: the faces between its cells first, then each
// side as long faces, then the run's two ends. When an inner face looks back
// toward -z, the run goes cell by cell instead.
template <class AddFace>
void for_each_run_face(const face_fate (*fates)[CUBE_FACES], int length, AddFace&& add) {
    bool inner_face_looks_back = false;
    for (int i = 1; i < length; ++i)
        if (fates[i][FACE_BACK] == face_fate::drawn) inner_face_looks_back = true;
    if (inner_face_looks_back) {
        for (int i = 0; i < length; ++i)
            for (int face = 0; face < CUBE_FACES; ++face)
                if (fates[i][face] == face_fate::drawn) add(i, i, face);
        return;
    }
    for (int i = 0; i + 1 < length; ++i)
        if (fates[i][FACE_FRONT] == face_fate::drawn) add(i, i, FACE_FRONT);
    for (int face = 0; face < CUBE_FACES; ++face) {
        if (face == FACE_FRONT || face == FACE_BACK) continue;
        for (int i = 0; i < length;) {
            if (fates[i][face] != face_fate::drawn) {
                ++i;
                continue;
            }
            int j = i;
            while (j + 1 < length && fates[j + 1][face] == face_fate::drawn) ++j;
            add(i, j, face);
            i = j + 1;
        }
    }
    if (fates[0][FACE_BACK] == face_fate::drawn) add(0, 0, FACE_BACK);
    if (fates[length - 1][FACE_FRONT] == face_fate::drawn) add(length - 1, length - 1, FACE_FRONT);
}
