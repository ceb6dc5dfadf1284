#pragma once

#include <cstdint>
#include <vector>

#include "render/core/frame_data.h"

// Keeps each distinct vertex of a mesh once. Faces of one colour that meet
// along an edge (a heap's terraces, a wall's side) then share their corners,
// which GL transforms and lights once. Only vertices equal bit for bit are
// joined, and the triangles and their order stay as they were, so the
// picture is the same.
class vertex_sharer {
public:
    void share(std::vector<lit_vertex>& vertices, std::vector<unsigned>& indices);

private:
    std::vector<std::uint32_t> slots_;    // a kept vertex's position + 1, or 0 for none
    std::vector<unsigned> moved_to_;      // each old vertex's new position
};
