#include "render/fixed_function/kept_gl_meshes.h"

#include <algorithm>
#include <cstddef>
#include <cstdio>
#include <cstring>

#include "render/fixed_function/gl.h"

#include <GL/freeglut_ext.h>  // glutGetProcAddress

namespace {

// GL 1.5's buffer objects, and GL 1.4's multiple draws in one call, looked up
// at run time: the program links GL 1.1 only.
constexpr GLenum ARRAY_BUFFER = 0x8892;
constexpr GLenum ELEMENT_ARRAY_BUFFER = 0x8893;
constexpr GLenum STATIC_DRAW = 0x88E4;
constexpr GLenum BUFFER_TARGETS[2] = {ARRAY_BUFFER, ELEMENT_ARRAY_BUFFER};
constexpr std::size_t ELEMENT_BYTES[2] = {sizeof(lit_vertex), sizeof(unsigned)};
// How far the vertex buffer is written before the first pack of the kept
// chunks' corners to its front.
constexpr std::size_t FIRST_END = std::size_t{1} << 15;

struct gl_buffers {
    using gen_buffers = void(APIENTRY*)(GLsizei n, GLuint* buffers);
    using delete_buffers = void(APIENTRY*)(GLsizei n, const GLuint* buffers);
    using bind_buffer = void(APIENTRY*)(GLenum target, GLuint buffer);
    using buffer_data = void(APIENTRY*)(GLenum target, std::ptrdiff_t size, const void* data, GLenum usage);
    using buffer_sub_data = void(APIENTRY*)(GLenum target, std::ptrdiff_t offset, std::ptrdiff_t size,
                                            const void* data);
    using get_buffer_sub_data = void(APIENTRY*)(GLenum target, std::ptrdiff_t offset, std::ptrdiff_t size,
                                                void* data);
    using multi_draw_elements = void(APIENTRY*)(GLenum mode, const GLsizei* count, GLenum type,
                                                const void* const* indices, GLsizei draw_count);
    gen_buffers gen = nullptr;
    delete_buffers remove = nullptr;
    bind_buffer bind = nullptr;
    buffer_data data = nullptr;
    buffer_sub_data sub_data = nullptr;
    get_buffer_sub_data read = nullptr;
    multi_draw_elements multi_draw = nullptr;  // optional: else one draw after another
    bool usable() const { return gen && remove && bind && data && sub_data && read; }
};

template <class F>
F look_up(const char* core_name, const char* extension_name, bool core) {
    return reinterpret_cast<F>(glutGetProcAddress(core ? core_name : extension_name));
}

bool has(const char* extensions, const char* name) {
    return extensions != nullptr && std::strstr(extensions, name) != nullptr;
}

// Looked up in the first context that asks; the program has one.
const gl_buffers& buffers() {
    static const gl_buffers found = [] {
        gl_buffers b;
        const char* version = reinterpret_cast<const char*>(glGetString(GL_VERSION));
        const char* extensions = reinterpret_cast<const char*>(glGetString(GL_EXTENSIONS));
        int major = 0, minor = 0;
        if (version != nullptr) std::sscanf(version, "%d.%d", &major, &minor);
        const bool core = major > 1 || (major == 1 && minor >= 5);
        if (!core && !has(extensions, "GL_ARB_vertex_buffer_object")) return b;
        b.gen = look_up<gl_buffers::gen_buffers>("glGenBuffers", "glGenBuffersARB", core);
        b.remove = look_up<gl_buffers::delete_buffers>("glDeleteBuffers", "glDeleteBuffersARB", core);
        b.bind = look_up<gl_buffers::bind_buffer>("glBindBuffer", "glBindBufferARB", core);
        b.data = look_up<gl_buffers::buffer_data>("glBufferData", "glBufferDataARB", core);
        b.sub_data = look_up<gl_buffers::buffer_sub_data>("glBufferSubData", "glBufferSubDataARB", core);
        b.read = look_up<gl_buffers::get_buffer_sub_data>("glGetBufferSubData", "glGetBufferSubDataARB", core);
        if (!b.usable()) return gl_buffers{};
        if (core || has(extensions, "GL_EXT_multi_draw_arrays"))
            b.multi_draw = look_up<gl_buffers::multi_draw_elements>("glMultiDrawElements", "glMultiDrawElementsEXT", core);
        return b;
    }();
    return found;
}

void draw_indices(const unsigned* indices, std::uint32_t begin, std::uint32_t end) {
    glDrawElements(GL_TRIANGLES, static_cast<GLsizei>(end - begin), GL_UNSIGNED_INT, indices + begin);
}

}  // namespace

kept_gl_meshes::kept_gl_meshes() : held_(CHUNK_COUNT) { order_.reserve(CHUNK_COUNT); }

kept_gl_meshes::~kept_gl_meshes() { release(); }

bool kept_gl_meshes::uses_buffers() const { return buffers().usable(); }

void kept_gl_meshes::release(int chunk) {
    held& h = held_[chunk];
    if (h.list_count != 0) glDeleteLists(h.lists, h.list_count);
    h = held{};  // its corners' span stays unused until the next pack
}

void kept_gl_meshes::release() {
    for (int chunk = 0; chunk < CHUNK_COUNT; ++chunk) release(chunk);
    for (int b = 0; b < 2; ++b) {
        if (buffers_[b] != 0) buffers().remove(1, &buffers_[b]);
        buffers_[b] = 0;
        capacity_[b] = 0;
    }
    end_ = packed_end_ = placed_end_ = 0;
    queued_counts_.clear();
    queued_offsets_.clear();
}

void kept_gl_meshes::keep(int chunk, const chunk_mesh& mesh, std::uint64_t version) {
    held& h = held_[chunk];
    if (h.valid && h.version == version) return;
    h.version = version;
    const gl_buffers& gl = buffers();
    if (gl.usable()) {
        flush();  // the queued draws read the buffers as they are now
        place(chunk, mesh.vertices.size());
        h.placed_frame = 0;
        if (mesh.vertices.empty()) return;
        gl.bind(ARRAY_BUFFER, buffers_[0]);
        gl.sub_data(ARRAY_BUFFER, static_cast<std::ptrdiff_t>(h.corners.begin * sizeof(lit_vertex)),
                    static_cast<std::ptrdiff_t>(mesh.vertices.size() * sizeof(lit_vertex)), mesh.vertices.data());
        gl.bind(ARRAY_BUFFER, 0);
        return;
    }
    h.valid = true;
    if (h.list_count != 0) glDeleteLists(h.lists, h.list_count);
    h.list_count = static_cast<int>(mesh.parts.size());
    h.lists = glGenLists(h.list_count);
    glInterleavedArrays(GL_C4F_N3F_V3F, sizeof(lit_vertex), mesh.vertices.data());
    std::uint32_t begin = 0;
    for (int p = 0; p < h.list_count; ++p) {
        glNewList(h.lists + static_cast<GLuint>(p), GL_COMPILE);
        if (mesh.parts[p].index_end > begin) draw_indices(mesh.indices.data(), begin, mesh.parts[p].index_end);
        glEndList();
        begin = mesh.parts[p].index_end;
    }
}

void kept_gl_meshes::begin_frame() {
    ++frame_;
    placed_end_ = 0;
}

// The frame's triangles never pass the index buffer's end: every kept chunk's
// triangles count against KEPT_MESH_BYTES, and these are some of them.
void kept_gl_meshes::place_triangles(int chunk, const facing_triangles& triangles) {
    held& h = held_[chunk];
    const std::size_t count = triangles.indices.size();
    // Since the frame before, only triangles placed before these in the
    // frame were written: none of them reach this far.
    const bool in_place = h.placed_frame + 1 == frame_ && h.placed_at == placed_end_ &&
                          h.placed_version == triangles.version && h.placed_base == h.corners.begin;
    if (!in_place && count != 0) {
        // The queued draws read only what lies before placed_end_.
        const gl_buffers& gl = buffers();
        rebased_.resize(count);
        const unsigned base = static_cast<unsigned>(h.corners.begin);
        for (std::size_t i = 0; i < count; ++i) rebased_[i] = triangles.indices[i] + base;
        gl.bind(ELEMENT_ARRAY_BUFFER, buffers_[1]);
        gl.sub_data(ELEMENT_ARRAY_BUFFER, static_cast<std::ptrdiff_t>(placed_end_ * sizeof(unsigned)),
                    static_cast<std::ptrdiff_t>(count * sizeof(unsigned)), rebased_.data());
        gl.bind(ELEMENT_ARRAY_BUFFER, 0);
    }
    h.placed_frame = frame_;
    h.placed_version = triangles.version;
    h.placed_at = placed_end_;
    h.placed_base = h.corners.begin;
    placed_end_ += count;
}

void kept_gl_meshes::place(int chunk, std::size_t corners) {
    held& h = held_[chunk];
    if (h.valid && corners <= h.corners.room) {
        h.corners.used = corners;
        return;
    }
    h.valid = false;  // its old span is let go
    const gl_buffers& gl = buffers();
    if (buffers_[0] == 0) {
        // Storage for all that may be kept, made once; GL's memory grows only
        // as far as it is written.
        for (int b = 0; b < 2; ++b) {
            capacity_[b] = KEPT_MESH_BYTES / ELEMENT_BYTES[b];
            gl.gen(1, &buffers_[b]);
            gl.bind(BUFFER_TARGETS[b], buffers_[b]);
            gl.data(BUFFER_TARGETS[b], static_cast<std::ptrdiff_t>(capacity_[b] * ELEMENT_BYTES[b]), nullptr,
                    STATIC_DRAW);
            gl.bind(BUFFER_TARGETS[b], 0);
        }
        packed_end_ = FIRST_END;
    }
    if (end_ + corners > packed_end_) {
        pack();
        // The next pack when half as much again is written.
        packed_end_ = std::min(capacity_[0], std::max(FIRST_END, (end_ + corners) * 3 / 2));
    }
    h.corners = {end_, corners, corners};
    end_ += corners;
    h.valid = true;
}

void kept_gl_meshes::pack() {
    const gl_buffers& gl = buffers();
    order_.clear();
    for (int chunk = 0; chunk < CHUNK_COUNT; ++chunk)
        if (held_[chunk].valid) order_.push_back(chunk);
    std::sort(order_.begin(), order_.end(),
              [this](int a, int b) { return held_[a].corners.begin < held_[b].corners.begin; });
    // Each chunk moves down, never over one not yet moved. Its placed
    // triangles count from where its corners were, and are placed again.
    std::size_t at = 0;
    gl.bind(ARRAY_BUFFER, buffers_[0]);
    for (const int chunk : order_) {
        span& s = held_[chunk].corners;
        if (s.begin != at && s.used != 0) {
            moving_.resize(s.used * sizeof(lit_vertex));
            gl.read(ARRAY_BUFFER, static_cast<std::ptrdiff_t>(s.begin * sizeof(lit_vertex)),
                    static_cast<std::ptrdiff_t>(moving_.size()), moving_.data());
            gl.sub_data(ARRAY_BUFFER, static_cast<std::ptrdiff_t>(at * sizeof(lit_vertex)),
                        static_cast<std::ptrdiff_t>(moving_.size()), moving_.data());
        }
        s = {at, s.used, s.used};
        at += s.used;
    }
    gl.bind(ARRAY_BUFFER, 0);
    end_ = at;
}

void kept_gl_meshes::draw_part(int chunk, std::size_t part, std::uint32_t index_begin, std::uint32_t end) {
    const held& h = held_[chunk];
    if (end == index_begin) return;
    if (!buffers().usable()) {
        glCallList(h.lists + static_cast<GLuint>(part));
        return;
    }
    // A stretch that starts where the last queued one ends joins it.
    const std::uintptr_t offset = (h.placed_at + index_begin) * sizeof(unsigned);
    const int count = static_cast<int>(end - index_begin);
    if (!queued_counts_.empty() &&
        reinterpret_cast<std::uintptr_t>(queued_offsets_.back()) + std::uintptr_t(queued_counts_.back()) * sizeof(unsigned) ==
            offset) {
        queued_counts_.back() += count;
        return;
    }
    queued_counts_.push_back(count);
    queued_offsets_.push_back(reinterpret_cast<const void*>(offset));
}

void kept_gl_meshes::flush() {
    if (queued_counts_.empty()) return;
    const gl_buffers& gl = buffers();
    gl.bind(ARRAY_BUFFER, buffers_[0]);
    gl.bind(ELEMENT_ARRAY_BUFFER, buffers_[1]);
    glInterleavedArrays(GL_C4F_N3F_V3F, sizeof(lit_vertex), nullptr);
    if (gl.multi_draw != nullptr) {
        gl.multi_draw(GL_TRIANGLES, queued_counts_.data(), GL_UNSIGNED_INT, queued_offsets_.data(),
                      static_cast<GLsizei>(queued_counts_.size()));
    } else {
        for (std::size_t i = 0; i < queued_counts_.size(); ++i)
            glDrawElements(GL_TRIANGLES, queued_counts_[i], GL_UNSIGNED_INT, queued_offsets_[i]);
    }
    gl.bind(ARRAY_BUFFER, 0);
    gl.bind(ELEMENT_ARRAY_BUFFER, 0);
    queued_counts_.clear();
    queued_offsets_.clear();
}
