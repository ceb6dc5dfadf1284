#include "render/fixed_function/fast_renderer.h"

#include <chrono>
#include <cstdio>
#include <cstring>
#include <functional>

#include "render/core/cell_drawing.h"
#include "render/fixed_function/fixed_function_frame.h"
#include "render/fixed_function/gl.h"

#include <GL/freeglut_ext.h>  // glutGetProcAddress

namespace {

// GL's fences (core since GL 3.2), looked up at run time: the program links
// GL 1.1 only.
constexpr GLenum SYNC_GPU_COMMANDS_COMPLETE = 0x9117;
constexpr GLbitfield SYNC_FLUSH_COMMANDS_BIT = 0x1;
constexpr GLenum SYNC_WAIT_FAILED = 0x911D;
constexpr GLenum SYNC_TIMEOUT_EXPIRED = 0x911B;
constexpr unsigned long long SYNC_WAIT_NANOSECONDS = 1000000000ull;  // then wait again

struct gl_fences {
    using fence_sync = void*(APIENTRY*)(GLenum condition, GLbitfield flags);
    using client_wait_sync = GLenum(APIENTRY*)(void* sync, GLbitfield flags, unsigned long long timeout);
    using delete_sync = void(APIENTRY*)(void* sync);
    fence_sync fence = nullptr;
    client_wait_sync wait = nullptr;
    delete_sync remove = nullptr;
};

bool has_fences() {
    const char* version = reinterpret_cast<const char*>(glGetString(GL_VERSION));
    const char* extensions = reinterpret_cast<const char*>(glGetString(GL_EXTENSIONS));
    int major = 0, minor = 0;
    if (version != nullptr) std::sscanf(version, "%d.%d", &major, &minor);
    const bool core = major > 3 || (major == 3 && minor >= 2);
    return core || (extensions != nullptr && std::strstr(extensions, "GL_ARB_sync") != nullptr);
}

// Looked up in the first context that asks; the program has one.
const gl_fences& fences() {
    static const gl_fences found = [] {
        gl_fences f;
        if (!has_fences()) return f;
        f.fence = reinterpret_cast<gl_fences::fence_sync>(glutGetProcAddress("glFenceSync"));
        f.wait = reinterpret_cast<gl_fences::client_wait_sync>(glutGetProcAddress("glClientWaitSync"));
        f.remove = reinterpret_cast<gl_fences::delete_sync>(glutGetProcAddress("glDeleteSync"));
        if (!f.fence || !f.wait || !f.remove) return gl_fences{};
        return f;
    }();
    return found;
}

void wait_for(const gl_fences& gl, void* fence) {
    GLenum result;
    do result = gl.wait(fence, SYNC_FLUSH_COMMANDS_BIT, SYNC_WAIT_NANOSECONDS);
    while (result == SYNC_TIMEOUT_EXPIRED);
    if (result == SYNC_WAIT_FAILED) glFinish();
}

// The camera GL draws with now, as the program has set it up.
frame_view current_view() {
    double modelview[16], projection[16];
    GLint viewport[4];
    glGetDoublev(GL_MODELVIEW_MATRIX, modelview);
    glGetDoublev(GL_PROJECTION_MATRIX, projection);
    glGetIntegerv(GL_VIEWPORT, viewport);
    return view_from_matrices(modelview, projection, viewport);
}

}  // namespace

gl_queue_limit::gl_queue_limit(std::size_t limit, int bounds)
    : limit_(limit), bounds_(bounds < 1 ? 1 : bounds > MAX_BOUNDS ? MAX_BOUNDS : bounds) {}

gl_queue_limit::~gl_queue_limit() {
    for (void* fence : in_flight_)
        if (fence != nullptr) fences().remove(fence);
}

void gl_queue_limit::submitted(std::size_t triangles) {
    since_bound_ += triangles;
    if (since_bound_ < limit_) return;
    since_bound_ = 0;
    ++bounds_reached_;
    const gl_fences& gl = fences();
    if (gl.fence == nullptr) {
        glFinish();
        return;
    }
    void*& oldest = in_flight_[0];
    if (oldest != nullptr) {
        wait_for(gl, oldest);
        gl.remove(oldest);
    }
    for (int i = 1; i < bounds_; ++i) in_flight_[i - 1] = in_flight_[i];
    // The fence also hands what was queued so far to the rasteriser.
    in_flight_[bounds_ - 1] = gl.fence(SYNC_GPU_COMMANDS_COMPLETE, 0);
    glFlush();
}

void fast_renderer::draw(world& w, int graphics, fountain* const* fountains) {
    if (keep_meshes_) {
        draw_kept(w, true, graphics, fountains);
        return;
    }
    draw_batched([&](const frame_view& view) { batcher_.sweep(w, graphics, view, *this); }, fountains);
}

void fast_renderer::draw_still(const world& w, int graphics, fountain* const* fountains) {
    draw_batched([&](const frame_view& view) { batcher_.still(w, graphics, view, *this); }, fountains);
}

void fast_renderer::draw_still(world& w, int graphics, fountain* const* fountains) {
    if (keep_meshes_) {
        draw_kept(w, false, graphics, fountains);
        return;
    }
    draw_still(static_cast<const world&>(w), graphics, fountains);
}

void fast_renderer::draw_frame(world& w, bool steps, int graphics, const pen_marker_place& pen,
                               fountain* const* fountains) {
    record_scene(pen, scene_);
    draw_scene(scene_);
    if (steps)
        draw(w, graphics, fountains);
    else
        draw_still(w, graphics, fountains);
}

void fast_renderer::keep_meshes(bool on) {
    if (on == keep_meshes_) return;
    keep_meshes_ = on;
    // The plain path walks without telling the kept chunks.
    kept_.forget();
}

void fast_renderer::draw_kept(world& w, bool steps, int graphics, fountain* const* fountains) {
    if (!kept_.has_meshes()) kept_.set_meshes(capture_cell_cube(), capture_cell_sphere());

    fountains_ = fountains;
    kept_triangles_ = 0;
    kept_drawing_seconds_ = 0.0;
    unflushed_ = false;
    held_.begin_frame();
    glPushClientAttrib(GL_CLIENT_VERTEX_ARRAY_BIT);
    // Each chunk goes to GL as soon as it is decided, so that GL's rasteriser
    // works in parallel with the rest of the walk.
    const std::function<void(int)> ready = [this](int chunk) {
        const auto start = std::chrono::steady_clock::now();
        draw_ready_chunk(chunk);
        if (chunk % CHUNKS_PER_LAYER == CHUNKS_PER_LAYER - 1 && unflushed_triangles_ >= KEPT_FLUSH_TRIANGLES)
            settled();
        kept_drawing_seconds_ += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    };
    kept_.sweep(w, steps, graphics, current_view(), ready);
    held_.flush();
    glPopClientAttrib();
    if (const cell_draw* last = kept_.last_draw(); last != nullptr && last->fountain == NO_FOUNTAIN)
        glColor4f(last->red, last->green, last->blue, last->alpha);
}

void fast_renderer::draw_ready_chunk(int c) {
    switch (kept_.use(c)) {
    case chunk_use::empty:
        held_.release(c);
        break;
    case chunk_use::unseen:
        for (const cell_draw& cell : kept_.draws(c))
            if (cell.fountain != NO_FOUNTAIN) take_fountain(cell);
        break;
    case chunk_use::kept:
        draw_kept_chunk(c);
        break;
    case chunk_use::rebuilt:
    case chunk_use::streamed:
        if (kept_.make(c, made_) == chunk_use::rebuilt) {
            held_.keep(c, made_, kept_.mesh_version(c));
            draw_kept_chunk(c);
        } else {
            draw_chunk(c, made_.parts, &made_);
        }
        break;
    }
}

// From buffers only the triangles facing the eye are drawn; display lists
// hold all of them, and GL culls the rest.
void fast_renderer::draw_kept_chunk(int chunk) {
    if (!held_.uses_buffers()) {
        draw_chunk(chunk, kept_.kept_parts(chunk), nullptr);
        return;
    }
    const facing_triangles& facing = kept_.facing(chunk);
    held_.place_triangles(chunk, facing);
    draw_chunk(chunk, facing.parts, nullptr);
}

void fast_renderer::draw_chunk(int chunk, const std::vector<mesh_part>& parts, const chunk_mesh* streamed) {
    const std::vector<cell_draw>& draws = kept_.draws(chunk);
    std::uint32_t begin = 0;
    for (std::size_t p = 0; p < parts.size(); ++p) {
        const mesh_part& part = parts[p];
        if (part.index_end > begin) {
            if (streamed == nullptr) {
                held_.draw_part(chunk, p, begin, part.index_end);
            } else {
                held_.flush();
                glInterleavedArrays(GL_C4F_N3F_V3F, sizeof(lit_vertex), streamed->vertices.data());
                glDrawElements(GL_TRIANGLES, static_cast<GLsizei>(part.index_end - begin), GL_UNSIGNED_INT,
                               streamed->indices.data() + begin);
            }
            submitted(part.index_end - begin);
        }
        if (part.fountain_draw != NO_DRAW) take_fountain(draws[static_cast<std::size_t>(part.fountain_draw)]);
        begin = part.index_end;
    }
}

void fast_renderer::submitted(std::size_t indices) {
    kept_triangles_ += static_cast<long>(indices / 3);
    unflushed_triangles_ += indices / 3;
    queue_limit_.submitted(indices / 3);
    unflushed_ = true;
}

template <class Batch>
void fast_renderer::draw_batched(Batch&& batch, fountain* const* fountains) {
    if (!batcher_.has_meshes()) batcher_.set_meshes(capture_cell_cube(), capture_cell_sphere());

    fountains_ = fountains;
    unflushed_ = false;
    glPushClientAttrib(GL_CLIENT_VERTEX_ARRAY_BIT);
    batch(current_view());
    glPopClientAttrib();

    // Leave the current colour (and so the colour material) as drawing cell by
    // cell would; a fountain sets its own.
    const std::vector<cell_draw>& draws = batcher_.record().draws();
    if (draws.empty()) return;
    const cell_draw& last = draws.back();
    if (last.fountain == NO_FOUNTAIN) glColor4f(last.red, last.green, last.blue, last.alpha);
}

void fast_renderer::take_triangles(const lit_vertex* vertices, std::size_t, const unsigned* indices,
                                   std::size_t index_count) {
    glInterleavedArrays(GL_C4F_N3F_V3F, sizeof(lit_vertex), vertices);
    glDrawElements(GL_TRIANGLES, static_cast<GLsizei>(index_count), GL_UNSIGNED_INT, indices);
    queue_limit_.submitted(index_count / 3);
    unflushed_ = true;
}

// Start the rasteriser on the settled draws now rather than at the next bound.
void fast_renderer::settled() {
    held_.flush();
    if (unflushed_) glFlush();
    unflushed_ = false;
    unflushed_triangles_ = 0;
}

// The picture of the cell-by-cell drawing, at the same point of the order.
void fast_renderer::take_fountain(const cell_draw& cell) {
    held_.flush();
    const fountain* effect = fountains_[cell.fountain];
    if (effect == nullptr) {
        // Nothing to draw; the colour is left as the cell's, as drawing cell by cell leaves it.
        glColor4f(cell.red, cell.green, cell.blue, cell.alpha);
        return;
    }
    fountain_.clear();
    fountain_corners_.clear();
    record_fountain(cell, *effect, fountain_, fountain_corners_);
    draw_fountain_item(fountain_.front(), fountain_corners_.data(), effect->texture);
}
