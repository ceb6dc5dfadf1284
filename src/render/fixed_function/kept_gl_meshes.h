#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "render/core/kept_chunks.h"

// The kept chunks' triangles held by GL between frames. Where GL 1.5 (or its
// extension) offers buffer objects, all chunks' corners share one vertex
// buffer, and the triangles a frame draws lie in one index buffer in the
// order they are drawn, so that kept chunk after kept chunk goes to GL as one
// draw with no state changed between them. Else in display lists, one per
// stretch between fountains, as GL 1.1 allows.
class kept_gl_meshes {
public:
    kept_gl_meshes();
    ~kept_gl_meshes();
    kept_gl_meshes(const kept_gl_meshes&) = delete;
    kept_gl_meshes& operator=(const kept_gl_meshes&) = delete;

    // Hands the chunk's corners (to buffers) or triangles (to lists) to GL
    // when `version` is not the one it holds. Needs the GL context they are
    // drawn in.
    void keep(int chunk, const chunk_mesh& mesh, std::uint64_t version);
    // Before a frame's first place_triangles.
    void begin_frame();
    // With buffers: the chunk's triangles to draw this frame, placed after
    // those placed before them in this frame. Written to GL only when they
    // are not what lies there since the frame before.
    void place_triangles(int chunk, const facing_triangles& triangles);
    // Draws indices [index_begin, index_end) of stretch `part` of the chunk:
    // of its placed triangles with buffers, of its kept ones with lists; with
    // the interleaved arrays' client state on. From buffers the draw is
    // queued: flush() before drawing anything else.
    void draw_part(int chunk, std::size_t part, std::uint32_t index_begin, std::uint32_t index_end);
    // Hands the queued draws to GL, in their order; none are left bound.
    void flush();
    // Lets go of what GL holds for one chunk, or for all; the next keep()
    // hands it over again.
    void release(int chunk);
    void release();

    bool uses_buffers() const;

private:
    // A stretch of the vertex buffer, counted in vertices.
    struct span {
        std::size_t begin = 0, room = 0, used = 0;
    };
    struct held {
        std::uint64_t version = 0;
        bool valid = false;
        span corners;
        // Its triangles in the index buffer, as placed in frame placed_frame
        // (0: not placed) for corners from placed_base on.
        std::uint64_t placed_frame = 0, placed_version = 0;
        std::size_t placed_at = 0, placed_base = 0;
        unsigned lists = 0;  // the first of list_count display lists
        int list_count = 0;
    };
    // Places the chunk's corners for a mesh of this many, packing the kept
    // chunks first when they would pass packed_end_.
    void place(int chunk, std::size_t corners);
    // Moves every kept chunk's corners to the front of the vertex buffer, in their order.
    void pack();

    std::vector<held> held_;
    unsigned buffers_[2] = {0, 0};        // vertices, indices
    std::size_t capacity_[2] = {0, 0};    // all that KEPT_MESH_BYTES allows
    std::size_t end_ = 0;                 // where the next span of corners starts
    std::size_t packed_end_ = 0;          // spans end before this, or the chunks are packed first
    std::uint64_t frame_ = 1;
    std::size_t placed_end_ = 0;          // of this frame's triangles in the index buffer
    std::vector<unsigned> rebased_;       // a chunk's indices counted from the buffer's first vertex
    std::vector<unsigned char> moving_;   // one chunk's corners, as a pack moves them
    std::vector<int> order_;              // the kept chunks, as their corners lie
    std::vector<int> queued_counts_;      // the queued draws, as GL takes them
    std::vector<const void*> queued_offsets_;
};
