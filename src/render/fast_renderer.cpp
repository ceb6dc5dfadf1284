#include "render/fast_renderer.h"

#include <chrono>
#include <cstdio>
#include <cstring>
#include <functional>

#include "render/cell_drawing.h"
#include "render/gl.h"

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

// Corners and indices per GL call: large enough to keep GL busy, small
// enough to keep the buffers in a few megabytes whatever the frame holds.
constexpr std::size_t BATCH_VERTICES = 1 << 16;
constexpr std::size_t BATCH_INDICES = 3 * BATCH_VERTICES / 2;
constexpr double CUBE_HALF = 0.5;
constexpr double SPHERE_REACH = 0.75;
constexpr double BACK_FACING_MARGIN = 1e-4;  // cells; closer to edge-on is left to GL
constexpr int FACE_FRONT = 4;  // +z
constexpr int FACE_BACK = 5;   // -z

bool same_colour(const cell_draw& a, const cell_draw& b) {
    return a.red == b.red && a.green == b.green && a.blue == b.blue && a.alpha == b.alpha;
}

// The next draw carries the run of cubes on: the next cell of the row, in the same colour.
bool continues_run(const cell_draw& previous, const cell_draw& next) {
    return next.fountain == NO_FOUNTAIN && next.x == previous.x && next.y == previous.y &&
           next.z == previous.z + 1 && same_colour(previous, next);
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

void fast_renderer::ensure_meshes() {
    if (meshes_ready_) return;
    cube_ = capture_cell_cube();
    sphere_ = capture_cell_sphere();
    sphere_planes_ = triangle_planes(sphere_);
    facing_indices_.reserve(sphere_.indices.size());
    batch_.reserve(BATCH_VERTICES);
    batch_indices_.reserve(BATCH_INDICES);
    meshes_ready_ = true;
}

void fast_renderer::draw(world& w, int graphics, fountain* const* fountains) {
    draw_recorded([&](const std::function<void(std::size_t)>& settled) { record_.sweep(w, settled); }, graphics,
                  fountains);
}

void fast_renderer::draw_still(const world& w, int graphics, fountain* const* fountains) {
    draw_recorded([&](const std::function<void(std::size_t)>& settled) { record_.record_still(w, settled); },
                  graphics, fountains);
}

template <class Record>
void fast_renderer::draw_recorded(Record&& record, int graphics, fountain* const* fountains) {
    ensure_meshes();
    triangles_drawn_ = 0;
    drawing_seconds_ = 0.0;
    double modelview[16], projection[16];
    glGetDoublev(GL_MODELVIEW_MATRIX, modelview);
    glGetDoublev(GL_PROJECTION_MATRIX, projection);
    const view_geometry view = view_from_matrices(modelview, projection);

    // Runs `work`, counting its time as drawing when that is measured.
    const auto drawing = [this](auto&& work) {
        if (!measuring_) {
            work();
            return;
        }
        const auto start = std::chrono::steady_clock::now();
        work();
        drawing_seconds_ += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    };

    // The draws go to GL while the sweep goes on, so that GL's rasteriser
    // works in parallel with the rest of the sweep.
    glPushClientAttrib(GL_CLIENT_VERTEX_ARRAY_BIT);
    std::size_t drawn = 0;
    record([&](std::size_t settled) {
        drawing([&] {
            const long triangles_before = triangles_drawn_;
            drawn = draw_settled(drawn, settled, graphics, view, fountains);
            flush();
            // Start the rasteriser on them now rather than at the next bound.
            if (triangles_drawn_ != triangles_before) glFlush();
        });
    });
    drawing([&] { flush(); });
    glPopClientAttrib();

    // Leave the current colour (and so the colour material) as drawing cell by
    // cell would; a fountain sets its own.
    const std::vector<cell_draw>& draws = record_.draws();
    if (draws.empty()) return;
    const cell_draw& last = draws.back();
    if (last.fountain == NO_FOUNTAIN) glColor4f(last.red, last.green, last.blue, last.alpha);
}

std::size_t fast_renderer::draw_settled(std::size_t first, std::size_t end, int graphics, const view_geometry& view,
                                        fountain* const* fountains) {
    const std::vector<cell_draw>& draws = record_.draws();
    std::size_t i = first;
    while (i < end) {
        const cell_draw& cell = draws[i];
        if (cell.fountain != NO_FOUNTAIN) {
            flush();
            draw_fountain(cell, fountains);
            ++i;
        } else if (graphics == GRAPHICS_SPHERES) {
            add_sphere(cell, view);
            ++i;
        } else {
            // A run never crosses a layer, and so never the end of the settled draws.
            std::size_t run_end = i + 1;
            while (run_end < end && continues_run(draws[run_end - 1], draws[run_end])) ++run_end;
            add_cube_run(&draws[i], static_cast<int>(run_end - i), view);
            i = run_end;
        }
    }
    return end;
}

// A run of cubes drawn one right after another along a row, in one colour,
// makes one box. Its outer faces never overlap on screen, so each side can go
// as one long face. The faces between its cells are drawn first, in their
// order: each lies behind outer faces of later cells only, as long as they
// face +z (the eye is beyond them); otherwise the run goes cell by cell.
void fast_renderer::add_cube_run(const cell_draw* run, int length, const view_geometry& view) {
    const cell_draw& first = run[0];
    const cell_draw& last = run[length - 1];
    const double low[3] = {first.x - CUBE_HALF, first.y - CUBE_HALF, first.z - CUBE_HALF};
    const double high[3] = {first.x + CUBE_HALF, first.y + CUBE_HALF, last.z + CUBE_HALF};
    if (box_outside_view(view, low, high)) return;

    face_fate fates[GRID_Z][CUBE_FACES];
    run_face_fates(record_, view, first.x, first.y, first.z, length, fates);
    bool inner_face_looks_back = false;
    for (int i = 1; i < length; ++i)
        if (fates[i][FACE_BACK] == face_fate::drawn) inner_face_looks_back = true;
    if (inner_face_looks_back) {
        add_cubes_one_by_one(run, length, fates);
        return;
    }

    for (int i = 0; i + 1 < length; ++i)
        if (fates[i][FACE_FRONT] == face_fate::drawn) add_mesh(run[i], run[i].z, run[i].z, cube_.faces[FACE_FRONT]);
    for (int face = 0; face < CUBE_FACES; ++face) {
        if (face == FACE_FRONT || face == FACE_BACK) continue;
        for (int i = 0; i < length;) {
            if (fates[i][face] != face_fate::drawn) {
                ++i;
                continue;
            }
            int j = i;
            while (j + 1 < length && fates[j + 1][face] == face_fate::drawn) ++j;
            add_mesh(run[i], run[i].z, run[j].z, cube_.faces[face]);
            i = j + 1;
        }
    }
    if (fates[0][FACE_BACK] == face_fate::drawn) add_mesh(first, first.z, first.z, cube_.faces[FACE_BACK]);
    if (fates[length - 1][FACE_FRONT] == face_fate::drawn) add_mesh(last, last.z, last.z, cube_.faces[FACE_FRONT]);
}

void fast_renderer::add_cubes_one_by_one(const cell_draw* run, int length, const face_fate (*fates)[CUBE_FACES]) {
    for (int i = 0; i < length; ++i)
        for (int face = 0; face < CUBE_FACES; ++face)
            if (fates[i][face] == face_fate::drawn) add_mesh(run[i], run[i].z, run[i].z, cube_.faces[face]);
}

void fast_renderer::add_sphere(const cell_draw& cell, const view_geometry& view) {
    if (box_outside_view(view, cell.x, cell.y, cell.z, SPHERE_REACH)) return;
    // Triangles that clearly face away from the eye are culled here rather than by GL.
    const double eye[3] = {view.eye[0] - cell.x, view.eye[1] - cell.y, view.eye[2] - cell.z};
    facing_indices_.clear();
    for (std::size_t t = 0; t < sphere_planes_.size(); ++t) {
        const triangle_plane& plane = sphere_planes_[t];
        const double toward_eye =
            plane.normal[0] * eye[0] + plane.normal[1] * eye[1] + plane.normal[2] * eye[2] - plane.offset;
        if (toward_eye < -BACK_FACING_MARGIN) continue;
        for (int corner = 0; corner < 3; ++corner) facing_indices_.push_back(sphere_.indices[t * 3 + corner]);
    }
    add_mesh(cell, cell.z, cell.z, sphere_.vertices, facing_indices_.data(), facing_indices_.size());
}

void fast_renderer::add_mesh(const cell_draw& cell, int z_first, int z_last, const indexed_mesh& mesh) {
    add_mesh(cell, z_first, z_last, mesh.vertices, mesh.indices.data(), mesh.indices.size());
}

void fast_renderer::add_mesh(const cell_draw& cell, int z_first, int z_last, const std::vector<mesh_vertex>& vertices,
                             const unsigned* indices, std::size_t index_count) {
    if (index_count == 0) return;
    if (batch_.size() + vertices.size() > BATCH_VERTICES || batch_indices_.size() + index_count > BATCH_INDICES)
        flush();
    const unsigned base = static_cast<unsigned>(batch_.size());
    for (std::size_t i = 0; i < index_count; ++i) batch_indices_.push_back(base + indices[i]);

    const float x = static_cast<float>(cell.x), y = static_cast<float>(cell.y);
    const float z_low = static_cast<float>(z_first), z_high = static_cast<float>(z_last);
    for (const mesh_vertex& v : vertices) {
        batch_vertex out;
        out.colour[0] = cell.red;
        out.colour[1] = cell.green;
        out.colour[2] = cell.blue;
        out.colour[3] = cell.alpha;
        for (int d = 0; d < 3; ++d) out.normal[d] = v.normal[d];
        out.position[0] = x + v.position[0];
        out.position[1] = y + v.position[1];
        out.position[2] = (v.position[2] > 0.0f ? z_high : z_low) + v.position[2];
        batch_.push_back(out);
    }
}

void fast_renderer::flush() {
    if (batch_indices_.empty()) return;
    glInterleavedArrays(GL_C4F_N3F_V3F, sizeof(batch_vertex), batch_.data());
    glDrawElements(GL_TRIANGLES, static_cast<GLsizei>(batch_indices_.size()), GL_UNSIGNED_INT, batch_indices_.data());
    const std::size_t triangles = batch_indices_.size() / 3;
    triangles_drawn_ += static_cast<long>(triangles);
    queue_limit_.submitted(triangles);
    batch_.clear();
    batch_indices_.clear();
}

// Exactly the calls of the cell-by-cell drawing, at the same point of the order.
void fast_renderer::draw_fountain(const cell_draw& cell, fountain* const* fountains) {
    glPushMatrix();
    glColor4f(cell.red, cell.green, cell.blue, cell.alpha);
    glTranslated(cell.x, cell.y, cell.z);
    if (fountain* effect = fountains[cell.fountain]) effect->draw_in_one_primitive(cell.x, cell.y, cell.z);
    glPopMatrix();
}
