#pragma once

#include <cstddef>
#include <vector>

#include "render/core/fast_frame_record.h"

// The frame as data, for whichever GL draws it: lit triangles of cells, the
// fountains of burning cells, the floor and the pen marker.

// One corner of a lit triangle, laid out as GL's GL_C4F_N3F_V3F.
struct lit_vertex {
    float colour[4];
    float normal[3];
    float position[3];  // grid coordinates
};

// Takes the cells' drawing in the frame's order: batches of lit triangles
// (indices into that batch's vertices, fewer than 1 << 16 of them), and the
// fountain of each burning cell between them.
class batch_sink {
public:
    virtual void take_triangles(const lit_vertex* vertices, std::size_t vertex_count, const unsigned* indices,
                                std::size_t index_count) = 0;
    // The fountain `cell.fountain` at the burning cell.
    virtual void take_fountain(const cell_draw& cell) = 0;
    // The draws handed over so far are all the sweep will add before its
    // next stretch: a chance to start GL on them.
    virtual void settled() {}

protected:
    ~batch_sink() = default;
};

// A wire cube of the pen marker.
struct wire_cube {
    double centre[3];
    double edge;
    float colour[4];
};

// The floor: one quad, front face up, lit with no normal of its own.
struct floor_quad {
    double corners[4][3];  // in drawing order
    float colour[4];
};

floor_quad frame_floor();

// The pen marker for the pen at (x, y, z) of size `size` (0 is drawn as 1):
// a white cube on the pen cell and red ones below it, one size apart, down to
// the floor. Replaces the contents of `cubes`.
void pen_marker_cubes(int x, int y, int z, int size, std::vector<wire_cube>& cubes);

// Where the pen stands and how big it is (0 is drawn as 1).
struct pen_marker_place {
    int x, y, z;
    int size;
};

// What a frame draws before its cells, the same for every backend.
struct frame_scene {
    floor_quad floor;
    std::vector<wire_cube> marker;
};

// The floor and the marker of `pen`, into `scene`; its storage is kept, so
// that a frame allocates nothing once the marker has been its tallest.
void record_scene(const pen_marker_place& pen, frame_scene& scene);
