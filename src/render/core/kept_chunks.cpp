#include "render/core/kept_chunks.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <functional>
#include <utility>

#include "render/core/cell_batches.h"
#include "render/core/cell_drawing.h"
#include "sim/awake_sweep.h"
#include "sim/neighbours.h"

namespace {

// Draws that give the same triangles: the fountain picked may differ.
bool same_shapes(const std::vector<cell_draw>& a, const std::vector<cell_draw>& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        const cell_draw& p = a[i];
        const cell_draw& q = b[i];
        if (p.x != q.x || p.y != q.y || p.z != q.z || !same_colour(p, q) ||
            (p.fountain == NO_FOUNTAIN) != (q.fountain == NO_FOUNTAIN))
            return false;
    }
    return true;
}

int key_of(const cell_draw& d) { return sweep_key(d.x, d.y, d.z); }

bool hides(cell_look look) { return look == cell_look::opaque || look == cell_look::see_through; }

// Whether a face plane of the cells from `low` to `high` along one axis lies
// edge on to an eye at `eye`.
bool face_plane_edge_on(double eye, int low, int high) {
    const double plane = std::floor(eye) + CELL_HALF;  // the nearest face plane is this one or one below
    for (const double p : {plane - 1.0, plane})
        if (p >= low - CELL_HALF && p <= high + CELL_HALF && std::abs(eye - p) <= FACING_MARGIN) return true;
    return false;
}

}  // namespace

void chunk_mesh::clear() {
    vertices.clear();
    indices.clear();
    parts.clear();
    facing.clear();
}

namespace {

// Ends the mesh's facing spans with its latest triangles, which face as `span`
// says; they join the last span when it faces the same plane.
void add_facing(chunk_mesh& mesh, facing_span span) {
    span.index_end = static_cast<std::uint32_t>(mesh.indices.size());
    if (!mesh.facing.empty()) {
        facing_span& last = mesh.facing.back();
        if (last.axis == span.axis && last.sign == span.sign && last.coordinate == span.coordinate) {
            last.index_end = span.index_end;
            return;
        }
    }
    mesh.facing.push_back(span);
}

}  // namespace

bool chunk_needs_view(const frame_view& view, int chunk) {
    const int y = chunk / CHUNKS_PER_LAYER;
    const int x_first = chunk % CHUNKS_PER_LAYER * CHUNK_ROWS;
    const int low[3] = {x_first, y, 0};
    const int high[3] = {x_first + CHUNK_ROWS - 1, y, GRID_Z - 1};
    for (int axis = 0; axis < 3; ++axis)
        if (face_plane_edge_on(view.eye[axis], low[axis], high[axis])) return true;
    // The neighbours that may hide a face must lie wholly beyond the near plane.
    const double reach = 1.0 + CELL_HALF;
    const double box_low[3] = {low[0] - reach, low[1] - reach, low[2] - reach};
    const double box_high[3] = {high[0] + reach, high[1] + reach, high[2] + reach};
    return !box_beyond_near(view, box_low, box_high);
}

bool chunk_outside_view(const frame_view& view, int chunk) {
    constexpr double REACH = CELL_SPHERE_RADIUS;  // beyond a cube's half edge
    const int y = chunk / CHUNKS_PER_LAYER;
    const int x_first = chunk % CHUNKS_PER_LAYER * CHUNK_ROWS;
    const double low[3] = {x_first - REACH, y - REACH, -REACH};
    const double high[3] = {x_first + CHUNK_ROWS - 1 + REACH, y + REACH, GRID_Z - 1 + REACH};
    return box_outside_view(view, low, high);
}

kept_chunks::kept_chunks()
    : chunks_(CHUNK_COUNT), looks_(GRID_CELLS, cell_look::none),
      changed_(CHUNK_COUNT, 0),
      blended_moved_(CHUNK_COUNT, 0),
      blended_in_chunk_(GRID_CELLS, 0),
      blended_before_chunk_(CHUNK_COUNT, 0) {
    scratch_.reserve(CHUNK_CELLS);
}

void kept_chunks::set_meshes(const cube_mesh& cube, const sphere_mesh& sphere) {
    cube_ = cube;
    sphere_ = sphere;
    meshes_ready_ = true;
    forget();
}

void kept_chunks::forget() {
    for (chunk& c : chunks_) {
        c.draws.clear();
        c.stale = true;
        c.changed_frames = 0;
        c.blended = 0;
        c.faint = 0;
        c.burning = 0;
        c.kept_bytes = 0;
        c.use = chunk_use::empty;
    }
    std::fill(looks_.begin(), looks_.end(), cell_look::none);
    std::fill(blended_in_chunk_.begin(), blended_in_chunk_.end(), 0);
    kept_bytes_ = 0;
    world_ = nullptr;
    previous_valid_ = false;
}

void kept_chunks::sweep(world& w, bool steps, int graphics, const frame_view& view,
                        const std::function<void(int)>& ready) {
    ready_ = ready ? &ready : nullptr;
    begin(w, graphics, view);
    const auto cell = [&](const ParticleType& before, int x, int y, int z) { take_cell(w, steps, before, x, y, z); };
    const auto skipped = [&](int x, int y, int z_begin, int z_end, bool unchanged) {
        take_skipped(w, x, y, z_begin, z_end, unchanged);
    };
    const auto no_layer_work = [](int) {};
    if (steps)
        sweep_awake(w, cell, skipped, no_layer_work);
    else
        still_awake(w, cell, skipped, no_layer_work);
    finish();
    ready_ = nullptr;
}

void kept_chunks::begin(const world& w, int graphics, const frame_view& view) {
    if (world_ != &w) forget();
    const std::uint64_t walk = walk_number(w);
    previous_valid_ = world_ == &w && recorded_walk_ + 1 == walk;
    world_ = &w;
    recorded_walk_ = walk;
    open_ = -1;
    restyled_ = graphics != graphics_;
    graphics_ = graphics;
    same_view_ = previous_valid_ && std::memcmp(&view_, &view, sizeof view) == 0;
    view_ = view;
    blended_so_far_ = 0;
    counts_ = chunk_counts{};
    std::fill(changed_.begin(), changed_.end(), 0);
    std::fill(blended_moved_.begin(), blended_moved_.end(), 0);
}

void kept_chunks::reach(int index) {
    if (open_ == index) return;
    if (open_ >= 0) {
        close(open_);
        passed(open_);
    }
    taking_over_ = false;
    // Chunks the walk found nothing in are empty now.
    scratch_.clear();
    for (int i = open_ + 1; i < index; ++i) {
        if (!chunks_[i].draws.empty()) close(i);
        passed(i);
    }
    open_ = index;
    old_read_ = 0;
    taking_over_ = true;
}

// A chunk's faces depend on the cells up to a layer past it: once the walk is
// past that, the chunk can be decided and drawn while the walk goes on.
void kept_chunks::passed(int index) {
    blended_before_chunk_[index] = blended_so_far_;
    blended_so_far_ += static_cast<std::uint32_t>(chunks_[index].blended);
    if (index >= CHUNKS_PER_LAYER) decide(index - CHUNKS_PER_LAYER);
}

bool kept_chunks::drawn_as_last_frame() const {
    return same_view_ && !restyled_ &&
           std::none_of(changed_.begin(), changed_.end(), [](std::uint8_t changed) { return changed != 0; });
}

void kept_chunks::finish() {
    reach(CHUNK_COUNT);
    open_ = -1;
    for (int i = std::max(0, CHUNK_COUNT - CHUNKS_PER_LAYER); i < CHUNK_COUNT; ++i) decide(i);
}

void kept_chunks::copy_taken_over() {
    if (!taking_over_) return;
    const std::vector<cell_draw>& old = chunks_[open_].draws;
    scratch_.assign(old.begin(), old.begin() + static_cast<std::ptrdiff_t>(old_read_));
    taking_over_ = false;
}

void kept_chunks::close(int index) {
    chunk& c = chunks_[index];
    if (index == open_ && taking_over_) {
        // Passed over whole, as the last walk found it: nothing to compare or copy.
        if (old_read_ == c.draws.size() && c.burning == 0) {
            taking_over_ = false;
            return;
        }
        copy_taken_over();
    }
    if (!same_shapes(scratch_, c.draws)) {
        changed_[index] = 1;
        const bool had_blended = c.blended != 0;
        set_looks(c.draws, false);
        set_looks(scratch_, true);
        c.blended = c.faint = c.burning = 0;
        for (const cell_draw& d : scratch_)
            if (d.fountain != NO_FOUNTAIN) ++c.burning;
        const int first = index * CHUNK_CELLS;
        for (int key = first; key < first + CHUNK_CELLS; ++key) {
            blended_in_chunk_[key] = static_cast<std::uint16_t>(c.blended);
            if (blended(looks_[key])) ++c.blended;
            if (looks_[key] == cell_look::faint) ++c.faint;
        }
        blended_moved_[index] = had_blended || c.blended != 0;
    }
    // Copied rather than swapped, so that a chunk's storage only grows, and
    // made whole at once, so that a running box stops allocating as soon as
    // its cells have been everywhere they go; the same shapes differ at most
    // in the fountains picked.
    if (!scratch_.empty() && c.draws.capacity() < CHUNK_CELLS) c.draws.reserve(CHUNK_CELLS);
    if (changed_[index] != 0 || c.burning != 0) c.draws.assign(scratch_.begin(), scratch_.end());
    scratch_.clear();
}

void kept_chunks::take_cell(world& w, bool steps, const ParticleType& before, int x, int y, int z) {
    int pick = NO_FOUNTAIN;
    if (is_burning(before)) pick = steps ? pick_fountain(w, x, y, z) : random_fountain();
    reach(chunk_of(sweep_key(x, y, z)));
    copy_taken_over();
    scratch_.push_back(draw_of(before, x, y, z, pick));
}

void kept_chunks::take_skipped(const world& w, int x, int y, int z_begin, int z_end, bool unchanged) {
    reach(chunk_of(sweep_key(x, y, z_begin)));
    if (unchanged && previous_valid_) {
        const std::vector<cell_draw>& old = chunks_[open_].draws;
        const int first = sweep_key(x, y, z_begin), end = sweep_key(x, y, z_end - 1) + 1;
        // A last draw before the run that nothing took over is a cell gone.
        if (old_read_ < old.size() && key_of(old[old_read_]) < first) copy_taken_over();
        while (old_read_ < old.size() && key_of(old[old_read_]) < first) ++old_read_;
        if (taking_over_) {
            const auto past = std::partition_point(old.begin() + static_cast<std::ptrdiff_t>(old_read_), old.end(),
                                                   [end](const cell_draw& d) { return key_of(d) < end; });
            old_read_ = static_cast<std::size_t>(past - old.begin());
            return;
        }
        for (; old_read_ < old.size() && key_of(old[old_read_]) < end; ++old_read_) scratch_.push_back(old[old_read_]);
        return;
    }
    copy_taken_over();
    for (int z = z_begin; z < z_end; ++z) {
        const ParticleType& cell = w.grid[x][y][z];
        if (cell.id == TYPE_ERASER) continue;
        // A passed-over cell draws no random number, so it cannot be burning;
        // should one be, it shows the fountain it holds.
        scratch_.push_back(draw_of(cell, x, y, z, is_burning(cell) ? cell.fountain_index : NO_FOUNTAIN));
    }
}

void kept_chunks::set_looks(const std::vector<cell_draw>& draws, bool drawn) {
    for (const cell_draw& d : draws)
        looks_[key_of(d)] = drawn ? look_of(d.alpha, d.fountain != NO_FOUNTAIN) : cell_look::none;
}

std::uint32_t kept_chunks::blended_before(int key) const {
    return blended_before_chunk_[chunk_of(key)] + blended_in_chunk_[key];
}

void kept_chunks::decide(int i) {
    chunk& c = chunks_[i];
    // A face toward an opaque cell drawn later depends on the blended cells
    // drawn in between: up to a layer on.
    bool must_change = restyled_ || changed_[i] != 0;
    for (int n = i; n <= std::min(i + CHUNKS_PER_LAYER, CHUNK_COUNT - 1); ++n)
        if (blended_moved_[n] != 0) must_change = true;
    for (const int n : {i - 1, i + 1, i - CHUNKS_PER_LAYER, i + CHUNKS_PER_LAYER})
        if (n >= 0 && n < CHUNK_COUNT && changed_[n] != 0) must_change = true;
    if (must_change) {
        c.stale = true;
        c.over_budget = false;
    }
    c.changed_frames = must_change ? c.changed_frames + 1 : 0;
    c.view_rules = false;
    if (c.draws.empty()) {
        // Its kept triangles no longer count against the bytes GL keeps.
        kept_bytes_ -= c.kept_bytes;
        c.kept_bytes = 0;
        c.use = chunk_use::empty;
        ++counts_.empty;
    } else if (chunk_outside_view(view_, i)) {
        c.use = chunk_use::unseen;
        ++counts_.unseen;
    } else if (c.over_budget || c.faint != 0 || c.changed_frames >= BUSY_FRAMES || chunk_needs_view(view_, i)) {
        // Made for this frame alone, and so for its camera, with fewer faces.
        c.use = chunk_use::streamed;
        c.view_rules = true;
        ++counts_.streamed;
    } else if (c.stale) {
        c.stale = false;
        c.use = chunk_use::rebuilt;
        ++counts_.rebuilt;
    } else {
        c.use = chunk_use::kept;
        ++counts_.kept;
    }
    if (ready_ != nullptr) (*ready_)(i);
}

chunk_use kept_chunks::make(int chunk_index, chunk_mesh& out) {
    chunk& c = chunks_[chunk_index];
    build(chunk_index, c.view_rules ? &view_ : nullptr, out);
    if (c.use != chunk_use::rebuilt) return c.use;
    sharer_.share(out.vertices, out.indices);
    const std::size_t bytes = out.vertices.size() * sizeof(lit_vertex) + out.indices.size() * sizeof(unsigned);
    if (kept_bytes_ - c.kept_bytes + bytes > KEPT_MESH_BYTES) {
        // Made for each frame from now on, and so for the camera.
        c.use = chunk_use::streamed;
        c.stale = true;
        c.over_budget = true;
        c.view_rules = true;
        build(chunk_index, &view_, out);
        --counts_.rebuilt;
        ++counts_.streamed;
        return c.use;
    }
    kept_bytes_ += bytes - c.kept_bytes;
    c.kept_bytes = bytes;
    ++c.version;
    c.parts.assign(out.parts.begin(), out.parts.end());
    c.indices.assign(out.indices.begin(), out.indices.end());
    c.facing_spans.assign(out.facing.begin(), out.facing.end());
    return c.use;
}

const facing_triangles& kept_chunks::facing(int chunk_index) {
    chunk& c = chunks_[chunk_index];
    if (c.facing_of != c.version || !std::equal(std::begin(view_.eye), std::end(view_.eye), c.facing_eye))
        choose_facing(c);
    return c.facing;
}

// Kept chunks are never seen edge on, so facing alone decides each plane's
// faces, as GL's culling would.
void kept_chunks::choose_facing(chunk& c) {
    facing_triangles& chosen = chosen_;
    chosen.indices.clear();
    chosen.parts.clear();
    std::size_t part = 0;
    std::uint32_t begin = 0;
    const auto parts_ending_by = [&](std::uint32_t index) {
        for (; part < c.parts.size() && c.parts[part].index_end <= index; ++part)
            chosen.parts.push_back({static_cast<std::uint32_t>(chosen.indices.size()), c.parts[part].fountain_draw});
    };
    parts_ending_by(begin);
    for (const facing_span& span : c.facing_spans) {
        bool decided = false;
        const bool shown = span.axis == ANY_FACING ||
                           fate_by_facing(view_, span.axis, span.sign, span.coordinate, decided) != face_fate::culled;
        // A fountain may stand between triangles of one span.
        while (begin < span.index_end) {
            std::uint32_t stop = span.index_end;
            if (part < c.parts.size()) stop = std::min(stop, c.parts[part].index_end);
            if (shown) chosen.indices.insert(chosen.indices.end(), c.indices.begin() + begin, c.indices.begin() + stop);
            begin = stop;
            parts_ending_by(begin);
        }
    }
    c.facing_of = c.version;
    std::copy(std::begin(view_.eye), std::end(view_.eye), c.facing_eye);
    if (chosen.indices == c.facing.indices && chosen.parts == c.facing.parts) return;
    std::swap(chosen.indices, c.facing.indices);
    std::swap(chosen.parts, c.facing.parts);
    ++c.facing.version;
}

const cell_draw* kept_chunks::last_draw() const {
    for (auto c = chunks_.rbegin(); c != chunks_.rend(); ++c)
        if (!c->draws.empty()) return &c->draws.back();
    return nullptr;
}

void kept_chunks::build(int chunk_index, const frame_view* view, chunk_mesh& out) const {
    out.clear();
    const std::vector<cell_draw>& draws = chunks_[chunk_index].draws;
    std::size_t i = 0;
    while (i < draws.size()) {
        const cell_draw& cell = draws[i];
        if (cell.fountain != NO_FOUNTAIN) {
            out.parts.push_back({static_cast<std::uint32_t>(out.indices.size()), static_cast<std::int32_t>(i)});
            ++i;
        } else if (graphics_ == GRAPHICS_SPHERES) {
            if (view != nullptr && box_outside_view(*view, cell.x, cell.y, cell.z, CELL_SPHERE_RADIUS)) {
                ++i;
                continue;
            }
            add_sphere(cell, view, out);
            ++i;
        } else {
            std::size_t run_end = i + 1;
            while (run_end < draws.size() && continues_run(draws[run_end - 1], draws[run_end])) ++run_end;
            add_cube_run(&draws[i], static_cast<int>(run_end - i), view, out);
            i = run_end;
        }
    }
    out.parts.push_back({static_cast<std::uint32_t>(out.indices.size()), NO_DRAW});
}

// Whether the face toward neighbour (nx, ny, nz) of the cell with this key
// can show, as the batched drawing decides it: for `view`, or without one for
// any eye beyond the near plane. A face toward a cell drawn earlier lies
// behind that cell's near faces; one toward an opaque cell drawn later is
// painted over by it when no blended cell is drawn in between.
face_fate kept_chunks::neighbour_fate(int key, int nx, int ny, int nz, const frame_view* view) const {
    if (!inside_grid(nx, ny, nz)) return face_fate::drawn;
    const int neighbour = sweep_key(nx, ny, nz);
    const cell_look look = looks_[neighbour];
    if (!hides(look)) return face_fate::drawn;
    if (view != nullptr && !box_beyond_near(*view, nx, ny, nz, CELL_HALF)) return face_fate::drawn;
    if (neighbour < key) return face_fate::hidden;
    if (look != cell_look::opaque) return face_fate::drawn;
    const std::uint32_t between = blended_before(neighbour) - blended_before(key) - (blended(looks_[key]) ? 1 : 0);
    return between == 0 ? face_fate::hidden : face_fate::drawn;
}

// As the batched drawing does with a run of one colour along a row: inner
// faces first, then each side as one long face, then the run's two ends;
// cell by cell when an inner face looks back. Without a view, faces are not
// culled by facing: GL culls them.
void kept_chunks::add_cube_run(const cell_draw* run, int length, const frame_view* view, chunk_mesh& out) const {
    if (view != nullptr) {
        const double low[3] = {run[0].x - CELL_HALF, run[0].y - CELL_HALF, run[0].z - CELL_HALF};
        const double high[3] = {run[0].x + CELL_HALF, run[0].y + CELL_HALF, run[length - 1].z + CELL_HALF};
        if (box_outside_view(*view, low, high)) return;
    }
    face_fate fates[GRID_Z][CUBE_FACES];
    for (int i = 0; i < length; ++i) {
        const int cell[3] = {run[i].x, run[i].y, run[i].z};
        const int key = sweep_key(cell[0], cell[1], cell[2]);
        for (int face = 0; face < CUBE_FACES; ++face) {
            const int axis = face_axis(face);
            bool decided = false;
            if (view != nullptr) fates[i][face] = fate_by_facing(*view, axis, face_sign(face), cell[axis], decided);
            if (decided) continue;
            int n[3] = {cell[0], cell[1], cell[2]};
            n[axis] += face_sign(face);
            fates[i][face] = neighbour_fate(key, n[0], n[1], n[2], view);
        }
    }
    for_each_run_face(fates, length, [&](int i, int j, int face) { add_face(run[i], run[j].z, face, view, out); });
}

// Only triangles to keep record how they face: those made for a camera are
// already chosen for it.
void kept_chunks::add_face(const cell_draw& cell, int z_last, int face, const frame_view* view,
                           chunk_mesh& out) const {
    const indexed_mesh& mesh = cube_.faces[face];
    append_cell_triangles(cell, cell.z, z_last, mesh.vertices, mesh.indices.data(), mesh.indices.size(),
                          out.vertices, out.indices);
    if (view != nullptr) return;
    const int axis = face_axis(face), sign = face_sign(face);
    const int place[3] = {cell.x, cell.y, sign > 0 ? z_last : cell.z};
    add_facing(out, {0, static_cast<std::int16_t>(place[axis]), static_cast<std::int8_t>(axis),
                     static_cast<std::int8_t>(sign)});
}

// Every triangle: GL culls those facing away.
void kept_chunks::add_sphere(const cell_draw& cell, const frame_view* view, chunk_mesh& out) const {
    append_cell_triangles(cell, cell.z, cell.z, sphere_.vertices, sphere_.indices.data(), sphere_.indices.size(),
                          out.vertices, out.indices);
    if (view == nullptr) add_facing(out, {0, 0, ANY_FACING, 0});
}
