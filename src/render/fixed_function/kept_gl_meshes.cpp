#include "render/fixed_function/kept_gl_meshes.h"

#include <cstddef>
#include <cstdio>
#include <cstring>

#include "render/fixed_function/gl.h"

#include <GL/freeglut_ext.h>  // glutGetProcAddress

namespace {

// GL 1.5's buffer objects, looked up at run time: the program links GL 1.1 only.
constexpr GLenum ARRAY_BUFFER = 0x8892;
constexpr GLenum ELEMENT_ARRAY_BUFFER = 0x8893;
constexpr GLenum STATIC_DRAW = 0x88E4;
constexpr GLenum BUFFER_TARGETS[2] = {ARRAY_BUFFER, ELEMENT_ARRAY_BUFFER};

struct gl_buffers {
    using gen_buffers = void(APIENTRY*)(GLsizei n, GLuint* buffers);
    using delete_buffers = void(APIENTRY*)(GLsizei n, const GLuint* buffers);
    using bind_buffer = void(APIENTRY*)(GLenum target, GLuint buffer);
    using buffer_data = void(APIENTRY*)(GLenum target, std::ptrdiff_t size, const void* data, GLenum usage);
    using buffer_sub_data = void(APIENTRY*)(GLenum target, std::ptrdiff_t offset, std::ptrdiff_t size,
                                            const void* data);
    gen_buffers gen = nullptr;
    delete_buffers remove = nullptr;
    bind_buffer bind = nullptr;
    buffer_data data = nullptr;
    buffer_sub_data sub_data = nullptr;
    bool usable() const { return gen && remove && bind && data && sub_data; }
};

template <class F>
F look_up(const char* core_name, const char* extension_name, bool core) {
    return reinterpret_cast<F>(glutGetProcAddress(core ? core_name : extension_name));
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
        const bool extension =
            extensions != nullptr && std::strstr(extensions, "GL_ARB_vertex_buffer_object") != nullptr;
        if (!core && !extension) return b;
        b.gen = look_up<gl_buffers::gen_buffers>("glGenBuffers", "glGenBuffersARB", core);
        b.remove = look_up<gl_buffers::delete_buffers>("glDeleteBuffers", "glDeleteBuffersARB", core);
        b.bind = look_up<gl_buffers::bind_buffer>("glBindBuffer", "glBindBufferARB", core);
        b.data = look_up<gl_buffers::buffer_data>("glBufferData", "glBufferDataARB", core);
        b.sub_data = look_up<gl_buffers::buffer_sub_data>("glBufferSubData", "glBufferSubDataARB", core);
        if (!b.usable()) return gl_buffers{};
        return b;
    }();
    return found;
}

void draw_indices(const unsigned* indices, std::uint32_t begin, std::uint32_t end) {
    glDrawElements(GL_TRIANGLES, static_cast<GLsizei>(end - begin), GL_UNSIGNED_INT, indices + begin);
}

// The same from the bound index buffer, where the "pointer" is an offset into it.
void draw_bound_indices(std::uint32_t begin, std::uint32_t end) {
    const std::uintptr_t offset = static_cast<std::uintptr_t>(begin) * sizeof(unsigned);
    glDrawElements(GL_TRIANGLES, static_cast<GLsizei>(end - begin), GL_UNSIGNED_INT,
                   reinterpret_cast<const void*>(offset));
}

}  // namespace

kept_gl_meshes::kept_gl_meshes() : held_(CHUNK_COUNT) {}

kept_gl_meshes::~kept_gl_meshes() { release(); }

bool kept_gl_meshes::uses_buffers() const { return buffers().usable(); }

void kept_gl_meshes::release(int chunk) {
    held& h = held_[chunk];
    if (h.buffers[0] != 0) buffers().remove(2, h.buffers);
    if (h.list_count != 0) glDeleteLists(h.lists, h.list_count);
    h = held{};
}

void kept_gl_meshes::release() {
    for (int chunk = 0; chunk < CHUNK_COUNT; ++chunk) release(chunk);
}

void kept_gl_meshes::keep(int chunk, const chunk_mesh& mesh, std::uint64_t version) {
    held& h = held_[chunk];
    if (h.valid && h.version == version) return;
    h.version = version;
    h.valid = true;
    const gl_buffers& gl = buffers();
    if (gl.usable()) {
        if (h.buffers[0] == 0) gl.gen(2, h.buffers);
        const void* data[2] = {mesh.vertices.data(), mesh.indices.data()};
        const std::size_t size[2] = {mesh.vertices.size() * sizeof(lit_vertex), mesh.indices.size() * sizeof(unsigned)};
        for (int b = 0; b < 2; ++b) {
            gl.bind(BUFFER_TARGETS[b], h.buffers[b]);
            // Storage is made only as a chunk grows, so a settled box asks GL for none.
            if (size[b] > h.capacity[b]) {
                gl.data(BUFFER_TARGETS[b], static_cast<std::ptrdiff_t>(size[b]), data[b], STATIC_DRAW);
                h.capacity[b] = size[b];
            } else if (size[b] != 0) {
                gl.sub_data(BUFFER_TARGETS[b], 0, static_cast<std::ptrdiff_t>(size[b]), data[b]);
            }
            gl.bind(BUFFER_TARGETS[b], 0);
        }
        return;
    }
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

void kept_gl_meshes::draw_part(int chunk, std::size_t part, std::uint32_t index_begin, std::uint32_t end) {
    const held& h = held_[chunk];
    if (end == index_begin) return;
    const gl_buffers& gl = buffers();
    if (!gl.usable()) {
        glCallList(h.lists + static_cast<GLuint>(part));
        return;
    }
    gl.bind(ARRAY_BUFFER, h.buffers[0]);
    gl.bind(ELEMENT_ARRAY_BUFFER, h.buffers[1]);
    glInterleavedArrays(GL_C4F_N3F_V3F, sizeof(lit_vertex), nullptr);
    draw_bound_indices(index_begin, end);
    gl.bind(ARRAY_BUFFER, 0);
    gl.bind(ELEMENT_ARRAY_BUFFER, 0);
}
