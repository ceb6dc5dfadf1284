#include "render/core/cell_batches.h"

#include <chrono>

#include "render/core/cell_drawing.h"

namespace {

// Corners and indices per batch: large enough to keep GL busy, small enough
// to keep the buffers in a few megabytes whatever the frame holds, and
// corners numbered in 16 bits.
constexpr std::size_t BATCH_VERTICES = 1 << 16;
constexpr std::size_t BATCH_INDICES = 3 * BATCH_VERTICES / 2;
constexpr double BACK_FACING_MARGIN = 1e-4;  // cells; closer to edge-on is left to GL

}  // namespace

bool same_colour(const cell_draw& a, const cell_draw& b) {
    return a.red == b.red && a.green == b.green && a.blue == b.blue && a.alpha == b.alpha;
}

bool continues_run(const cell_draw& previous, const cell_draw& next) {
    return next.fountain == NO_FOUNTAIN && next.x == previous.x && next.y == previous.y &&
           next.z == previous.z + 1 && same_colour(previous, next);
}

void cell_batcher::set_meshes(const cube_mesh& cube, const sphere_mesh& sphere) {
    cube_ = cube;
    sphere_ = sphere;
    sphere_planes_ = triangle_planes(sphere_);
    facing_indices_.reserve(sphere_.indices.size());
    batch_.reserve(BATCH_VERTICES);
    batch_indices_.reserve(BATCH_INDICES);
    meshes_ready_ = true;
}

void cell_batcher::sweep(world& w, int graphics, const frame_view& view, batch_sink& sink) {
    batch_recorded([&](const std::function<void(std::size_t)>& settled) { record_.sweep(w, settled); }, graphics,
                   view, sink);
}

void cell_batcher::still(const world& w, int graphics, const frame_view& view, batch_sink& sink) {
    batch_recorded([&](const std::function<void(std::size_t)>& settled) { record_.record_still(w, settled); },
                   graphics, view, sink);
}

template <class Record>
void cell_batcher::batch_recorded(Record&& record, int graphics, const frame_view& view, batch_sink& sink) {
    triangles_ = 0;
    drawing_seconds_ = 0.0;
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

    // The draws go to the sink while the sweep goes on, so that GL's
    // rasteriser works in parallel with the rest of the sweep.
    std::size_t batched = 0;
    record([&](std::size_t settled) {
        drawing([&] {
            batched = batch_settled(batched, settled, graphics, view, sink);
            flush(sink);
            sink.settled();
        });
    });
    drawing([&] { flush(sink); });
}

std::size_t cell_batcher::batch_settled(std::size_t first, std::size_t end, int graphics, const frame_view& view,
                                        batch_sink& sink) {
    const std::vector<cell_draw>& draws = record_.draws();
    std::size_t i = first;
    while (i < end) {
        const cell_draw& cell = draws[i];
        if (cell.fountain != NO_FOUNTAIN) {
            flush(sink);
            sink.take_fountain(cell);
            ++i;
        } else if (graphics == GRAPHICS_SPHERES) {
            add_sphere(cell, view, sink);
            ++i;
        } else {
            // A run never crosses a layer, and so never the end of the settled draws.
            std::size_t run_end = i + 1;
            while (run_end < end && continues_run(draws[run_end - 1], draws[run_end])) ++run_end;
            add_cube_run(&draws[i], static_cast<int>(run_end - i), view, sink);
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
void cell_batcher::add_cube_run(const cell_draw* run, int length, const frame_view& view, batch_sink& sink) {
    const cell_draw& first = run[0];
    const cell_draw& last = run[length - 1];
    const double low[3] = {first.x - CELL_HALF, first.y - CELL_HALF, first.z - CELL_HALF};
    const double high[3] = {first.x + CELL_HALF, first.y + CELL_HALF, last.z + CELL_HALF};
    if (box_outside_view(view, low, high)) return;

    face_fate fates[GRID_Z][CUBE_FACES];
    run_face_fates(record_, view, first.x, first.y, first.z, length, fates);
    for_each_run_face(fates, length, [&](int i, int j, int face) {
        add_mesh(run[i], run[i].z, run[j].z, cube_.faces[face], sink);
    });
}

void cell_batcher::add_sphere(const cell_draw& cell, const frame_view& view, batch_sink& sink) {
    if (box_outside_view(view, cell.x, cell.y, cell.z, CELL_SPHERE_RADIUS)) return;
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
    add_mesh(cell, cell.z, cell.z, sphere_.vertices, facing_indices_.data(), facing_indices_.size(), sink);
}

void cell_batcher::add_mesh(const cell_draw& cell, int z_first, int z_last, const indexed_mesh& mesh,
                            batch_sink& sink) {
    add_mesh(cell, z_first, z_last, mesh.vertices, mesh.indices.data(), mesh.indices.size(), sink);
}

void cell_batcher::add_mesh(const cell_draw& cell, int z_first, int z_last, const std::vector<mesh_vertex>& vertices,
                            const unsigned* indices, std::size_t index_count, batch_sink& sink) {
    if (index_count == 0) return;
    if (batch_.size() + vertices.size() > BATCH_VERTICES || batch_indices_.size() + index_count > BATCH_INDICES)
        flush(sink);
    append_cell_triangles(cell, z_first, z_last, vertices, indices, index_count, batch_, batch_indices_);
}

void append_cell_triangles(const cell_draw& cell, int z_first, int z_last, const std::vector<mesh_vertex>& vertices,
                           const unsigned* indices, std::size_t index_count, std::vector<lit_vertex>& out_vertices,
                           std::vector<unsigned>& out_indices) {
    const unsigned base = static_cast<unsigned>(out_vertices.size());
    for (std::size_t i = 0; i < index_count; ++i) out_indices.push_back(base + indices[i]);

    const float x = static_cast<float>(cell.x), y = static_cast<float>(cell.y);
    const float z_low = static_cast<float>(z_first), z_high = static_cast<float>(z_last);
    for (const mesh_vertex& v : vertices) {
        lit_vertex out;
        out.colour[0] = cell.red;
        out.colour[1] = cell.green;
        out.colour[2] = cell.blue;
        out.colour[3] = cell.alpha;
        for (int d = 0; d < 3; ++d) out.normal[d] = v.normal[d];
        out.position[0] = x + v.position[0];
        out.position[1] = y + v.position[1];
        out.position[2] = (v.position[2] > 0.0f ? z_high : z_low) + v.position[2];
        out_vertices.push_back(out);
    }
}

void cell_batcher::flush(batch_sink& sink) {
    if (batch_indices_.empty()) return;
    sink.take_triangles(batch_.data(), batch_.size(), batch_indices_.data(), batch_indices_.size());
    triangles_ += static_cast<long>(batch_indices_.size() / 3);
    batch_.clear();
    batch_indices_.clear();
}
