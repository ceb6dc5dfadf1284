#include "render/core/frame_data.h"

#include "render/core/cell_mesh.h"
#include "sim/world.h"

namespace {

// The floor lies in the plane of the bottom cells' centres and covers the grid.
constexpr double FLOOR_LOW = -CELL_HALF;
constexpr double FLOOR_HIGH_X = GRID_X - CELL_HALF;
constexpr double FLOOR_HIGH_Z = GRID_Z - CELL_HALF;
constexpr float FLOOR_GREY = 0.5f;

constexpr float PEN_CELL_COLOUR[4] = {1.0f, 1.0f, 1.0f, 1.0f};
constexpr float COLUMN_COLOUR[4] = {1.0f, 0.0f, 0.0f, 1.0f};

}  // namespace

floor_quad frame_floor() {
    return {{{FLOOR_LOW, 0.0, FLOOR_LOW},
             {FLOOR_LOW, 0.0, FLOOR_HIGH_Z},
             {FLOOR_HIGH_X, 0.0, FLOOR_HIGH_Z},
             {FLOOR_HIGH_X, 0.0, FLOOR_LOW}},
            {FLOOR_GREY, FLOOR_GREY, FLOOR_GREY, 1.0f}};
}

void pen_marker_cubes(int x, int y, int z, int size, std::vector<wire_cube>& cubes) {
    cubes.clear();
    // Size 0 (between two applications of a size-1 pen) shows as 1; a size
    // below 1 must never reach the loop, which would not end.
    const int edge = size > 0 ? size : 1;
    for (int h = y; h >= 0; h -= edge) {
        wire_cube cube{{static_cast<double>(x), static_cast<double>(h), static_cast<double>(z)},
                       static_cast<double>(edge),
                       {}};
        const float* colour = h == y ? PEN_CELL_COLOUR : COLUMN_COLOUR;
        for (int c = 0; c < 4; ++c) cube.colour[c] = colour[c];
        cubes.push_back(cube);
    }
}

void record_scene(const pen_marker_place& pen, frame_scene& scene) {
    scene.floor = frame_floor();
    pen_marker_cubes(pen.x, pen.y, pen.z, pen.size, scene.marker);
}
