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
