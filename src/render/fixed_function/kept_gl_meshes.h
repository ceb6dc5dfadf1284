#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "render/core/kept_chunks.h"

// The kept chunks' triangles held by GL between frames: where GL 1.5 (or its
// extension) offers buffer objects, all chunks share one vertex buffer and one
// index buffer, so that the stretches drawn one after another go to GL as a
// few draws with no state changed between them; else in display lists, one
// per stretch between fountains, as GL 1.1 allows.
class kept_gl_meshes {
public:
    kept_gl_meshes();
    ~kept_gl_meshes();
    kept_gl_meshes(const kept_gl_meshes&) = delete;
    kept_gl_meshes& operator=(const kept_gl_meshes&) = delete;

    // Hands the chunk's triangles to GL when `version` is not the one it holds.
    // Needs the GL context they are drawn in.
    void keep(int chunk, const chunk_mesh& mesh, std::uint64_t version);
    // Draws stretch `part` of the chunk's kept triangles, indices
    // [index_begin, index_end), with the interleaved arrays' client state on.
    // From buffers the draw is queued: flush() before drawing anything else.
    void draw_part(int chunk, std::size_t part, std::uint32_t index_begin, std::uint32_t index_end);
    // Hands the queued draws to GL, in their order; none are left bound.
    void flush();
    // Lets go of what GL holds for one chunk, or for all; the next keep()
    // hands it over again.
    void release(int chunk);
    void release();

    bool uses_buffers() const;

private:
    // A stretch of the shared buffers, counted in vertices or in indices.
    struct span {
        std::size_t begin = 0, room = 0, used = 0;
    };
    struct held {
        std::uint64_t version = 0;
        bool valid = false;
        span spans[2];  // vertices, indices (which count from the buffer's first vertex)
        unsigned lists = 0;  // the first of list_count display lists
        int list_count = 0;
    };
    // Places the chunk's spans for a mesh of these sizes, packing the kept
    // chunks first when the spans would pass packed_end_.
    void place(int chunk, const std::size_t size[2]);
    // Moves every kept chunk's spans to the front of the buffers, in their order.
    void pack();

    std::vector<held> held_;
    unsigned buffers_[2] = {0, 0};
    std::size_t capacity_[2] = {0, 0};  // all that KEPT_MESH_BYTES allows
    std::size_t end_[2] = {0, 0};       // where the next span starts
    std::size_t packed_end_[2] = {0, 0};  // spans end before this, or the chunks are packed first
    std::vector<unsigned> rebased_;         // a chunk's indices counted from the buffer's first vertex
    std::vector<unsigned char> moving_[2];  // one chunk's spans, as a pack moves them
    std::vector<int> order_;                // the kept chunks, as their spans lie
    std::vector<int> queued_counts_;                 // the queued draws, as GL takes them
    std::vector<const void*> queued_offsets_;
};
