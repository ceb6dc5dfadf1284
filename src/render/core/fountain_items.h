#pragma once

#include <cstddef>
#include <vector>

#include "effects/fountain.h"
#include "render/core/fast_frame_record.h"

// The fountains of a frame as data: every living particle's square as two
// triangles, expanded once for whichever GL draws them.

// A corner of a particle's square, placed from the burning cell in the
// fountain's facing frame: x and y along the eye's axes, z along the cell's
// own z axis as the camera turns it.
struct fountain_corner {
    float colour[4];  // the particle's colour, its life as alpha
    float position[3];
    float texcoord[2];
};

// One burning cell's fountain in the frame's order: the cell's draw and its
// corners [first_corner, first_corner + corner_count) among the frame's.
struct fountain_item {
    cell_draw cell;
    std::size_t first_corner;
    std::size_t corner_count;
};

// Appends the fountain of burning `cell`, its particles as they stand now, to
// `items`, and its corners to `corners`, particle by particle in order.
void record_fountain(const cell_draw& cell, const fountain& effect, std::vector<fountain_item>& items,
                     std::vector<fountain_corner>& corners);
