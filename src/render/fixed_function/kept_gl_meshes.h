#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "render/core/kept_chunks.h"

// The kept chunks' triangles held by GL between frames: in buffer objects
// where GL 1.5 (or its extension) offers them, else in display lists, one per
// stretch between fountains, as GL 1.1 allows.
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
    void draw_part(int chunk, std::size_t part, std::uint32_t index_begin, std::uint32_t index_end);
    // Lets go of what GL holds for one chunk, or for all; the next keep()
    // hands it over again.
    void release(int chunk);
    void release();

    bool uses_buffers() const;

private:
    struct held {
        std::uint64_t version = 0;
        bool valid = false;
        unsigned buffers[2] = {0, 0};  // vertices, indices
        std::size_t capacity[2] = {0, 0};
        unsigned lists = 0;  // the first of list_count display lists
        int list_count = 0;
    };
    std::vector<held> held_;
};
