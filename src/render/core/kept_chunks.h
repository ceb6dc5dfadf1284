#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "render/core/cell_mesh.h"
#include "render/core/fast_faces.h"
#include "render/core/fast_frame_record.h"
#include "render/core/frame_data.h"
#include "render/core/shared_vertices.h"
#include "sim/world.h"

// The frame's cells in chunks kept from frame to frame. A chunk is a span of
// the sweep's order (CHUNK_ROWS rows of one layer), so drawing the chunks one
// after another keeps the order of drawing cell by cell. A chunk keeps its
// recorded draws and its triangles; they are made again only when its draws,
// or the neighbouring cells that decide its faces, changed.
//
// The kept triangles hold for every camera: they leave out only the faces that
// a neighbour hides from any eye beyond the near plane (as the batched
// drawing decides it), and leave back faces and what lies outside the view to
// GL. A chunk that the near plane comes close to, that is seen edge on, or
// that holds faint cells (whose runs the batched drawing orders by the eye)
// is made for each frame by the batched drawing's own rules for the camera.

constexpr int CHUNK_ROWS = 10;
constexpr int CHUNK_CELLS = CHUNK_ROWS * GRID_Z;
constexpr int CHUNK_COUNT = GRID_CELLS / CHUNK_CELLS;
constexpr int CHUNKS_PER_LAYER = GRID_X / CHUNK_ROWS;
static_assert(GRID_X % CHUNK_ROWS == 0, "chunks hold whole rows of one layer");

// GL keeps the triangles of chunks up to this many bytes; past it, a chunk's
// triangles are made for each frame, as they were before any were kept.
constexpr std::size_t KEPT_MESH_BYTES = 16u << 20;

// A chunk whose triangles had to be made again this many frames in a row is
// busy: it is made for the frame and handed to GL as it is, not kept.
constexpr int BUSY_FRAMES = 3;

constexpr int chunk_of(int key) { return key / CHUNK_CELLS; }

// A stretch of a chunk's triangles (indices up to index_end), then the
// fountain of a burning cell when fountain_draw (a position in the chunk's
// draws) is not NO_DRAW.
struct mesh_part {
    std::uint32_t index_end;
    std::int32_t fountain_draw;
};
constexpr std::int32_t NO_DRAW = -1;
inline bool operator==(const mesh_part& a, const mesh_part& b) {
    return a.index_end == b.index_end && a.fountain_draw == b.fountain_draw;
}

// A stretch of a chunk's triangles (indices up to index_end) that faces one
// way: cube faces of one plane, at `coordinate` along `axis` toward `sign`;
// or, with axis ANY_FACING, triangles that GL culls itself.
struct facing_span {
    std::uint32_t index_end;
    std::int16_t coordinate;
    std::int8_t axis;
    std::int8_t sign;
};
constexpr std::int8_t ANY_FACING = -1;

struct chunk_mesh {
    std::vector<lit_vertex> vertices;
    std::vector<unsigned> indices;
    std::vector<mesh_part> parts;
    std::vector<facing_span> facing;  // covers the indices of triangles made to be kept
    void clear();
};

// The triangles of a kept chunk that face this frame's eye, in their order.
struct facing_triangles {
    std::vector<unsigned> indices;
    std::vector<mesh_part> parts;  // the stretches between fountains, among these indices
    std::uint64_t version = 0;     // changes whenever the two do
};

// How a chunk is drawn this frame.
enum class chunk_use : std::uint8_t {
    empty,     // nothing to draw: GL may let go of what it kept for the chunk
    unseen,    // no cell of it in view: only the fountains of its burning cells are drawn
    kept,      // its kept triangles, as last frame
    rebuilt,   // its triangles made again this frame, to be kept
    streamed,  // triangles made for this frame only (busy, or near the eye)
};

// What the last frame did with its chunks.
struct chunk_counts {
    int kept = 0, rebuilt = 0, streamed = 0, unseen = 0, empty = 0;
};

class kept_chunks {
public:
    kept_chunks();

    // The solids the cells are drawn with; needed before the first frame.
    void set_meshes(const cube_mesh& cube, const sphere_mesh& sphere);
    bool has_meshes() const { return meshes_ready_; }

    // One frame's walk of the world (stepping it, or with `steps` false
    // visiting it as it stands), drawing rand() exactly as the plain walk does,
    // and what each chunk needs for `view`. Each chunk is handed to `ready`,
    // in order, as soon as it is decided (a layer behind the walk), so that it
    // can be drawn while the walk goes on.
    void sweep(world& w, bool steps, int graphics, const frame_view& view,
               const std::function<void(int)>& ready = nullptr);

    // The same in pieces, for a walk of the caller's: begin, then the walk's
    // calls in its order, then finish.
    void begin(const world& w, int graphics, const frame_view& view);
    // A cell stepped (or visited) as it was before its step; picks and returns
    // the fountain of a burning one (recorded in the world when `steps`).
    void take_cell(world& w, bool steps, const ParticleType& before, int x, int y, int z);
    // A run of row (x, y) that the walk passed over; when `unchanged`, its
    // cells are as the previous walk found them, else read as they stand.
    void take_skipped(const world& w, int x, int y, int z_begin, int z_end, bool unchanged);
    void finish();

    chunk_use use(int chunk) const { return chunks_[chunk].use; }
    // Makes the chunk's triangles for this frame into `out`: for a rebuilt
    // chunk the ones to keep (GL keeps them; only their parts stay here), for
    // a streamed one those of this frame alone. A rebuilt chunk that would
    // pass KEPT_MESH_BYTES is streamed instead; returns the chunk's use.
    chunk_use make(int chunk, chunk_mesh& out);
    // A number that changes whenever a chunk's kept triangles are made again.
    std::uint64_t mesh_version(int chunk) const { return chunks_[chunk].version; }
    // The stretches of the chunk's kept triangles, and the fountains between them.
    const std::vector<mesh_part>& kept_parts(int chunk) const { return chunks_[chunk].parts; }
    // Of a kept chunk (after make() when it was rebuilt): its kept triangles
    // that face this frame's eye. GL would cull the others; leaving them out
    // spares it their corners and set-up.
    const facing_triangles& facing(int chunk);
    const std::vector<cell_draw>& draws(int chunk) const { return chunks_[chunk].draws; }
    // The frame's last draw, or nullptr when it drew no cell.
    const cell_draw* last_draw() const;
    const chunk_counts& counts() const { return counts_; }
    // After finish(): every chunk holds the draws of the frame recorded
    // before, for the same camera and style. Kept, made again or made for
    // the frame, its triangles give the same picture; so with no fountain and
    // the same floor and marker, the picture is that frame's.
    bool drawn_as_last_frame() const;
    // Forget every kept chunk, as after a change of world or of the drawing.
    void forget();

private:
    struct chunk {
        std::vector<cell_draw> draws;  // this frame's once the walk is past the chunk, else the last
        std::size_t kept_bytes = 0;     // of its kept triangles
        std::vector<mesh_part> parts;  // of the kept triangles
        std::vector<unsigned> indices;         // of the kept triangles
        std::vector<facing_span> facing_spans;  // of those indices
        facing_triangles facing;
        std::uint64_t facing_of = 0;  // the version `facing` was chosen from
        double facing_eye[3] = {0.0, 0.0, 0.0};  // and the eye it was chosen for
        std::uint64_t version = 0;
        int blended = 0;             // blended draws this frame
        int faint = 0;               // faint draws this frame
        int burning = 0;             // draws of burning cells this frame
        int changed_frames = 0;      // frames in a row its triangles had to change
        bool stale = true;           // its kept triangles no longer fit its draws
        bool view_rules = false;     // streamed: made by the rules for this frame's camera
        bool over_budget = false;    // its triangles did not fit KEPT_MESH_BYTES
        chunk_use use = chunk_use::empty;
    };

    std::uint32_t blended_before(int key) const;
    void set_looks(const std::vector<cell_draw>& draws, bool drawn);
    // The walk has reached chunk `index`: the chunks before it are done.
    void reach(int index);
    // The walk is past chunk `index`, whose draws are now scratch_.
    void close(int index);
    // Copies the last draws taken over so far into scratch_, before a draw that may differ.
    void copy_taken_over();
    // The walk is past chunk `index`, empty or not.
    void passed(int index);
    // What the chunk needs this frame; then it is ready.
    void decide(int index);
    // With `view`, by the rules for that camera; else for every eye.
    void build(int chunk, const frame_view* view, chunk_mesh& out) const;
    void add_cube_run(const cell_draw* run, int length, const frame_view* view, chunk_mesh& out) const;
    void add_sphere(const cell_draw& cell, const frame_view* view, chunk_mesh& out) const;
    void add_face(const cell_draw& cell, int z_last, int face, const frame_view* view, chunk_mesh& out) const;
    // Chooses chunk `c`'s facing triangles for this frame's eye.
    void choose_facing(chunk& c);
    face_fate neighbour_fate(int key, int nx, int ny, int nz, const frame_view* view) const;

    bool meshes_ready_ = false;
    cube_mesh cube_;
    sphere_mesh sphere_;
    std::vector<chunk> chunks_;
    std::vector<cell_look> looks_;
    std::vector<std::uint8_t> changed_;  // per chunk: its draws differ from last frame's
    std::vector<std::uint8_t> blended_moved_;  // per chunk: changed, with blended draws before or now
    int graphics_ = -1;
    const world* world_ = nullptr;
    std::uint64_t recorded_walk_ = 0;  // the walk the kept draws were recorded in
    bool previous_valid_ = false;       // the kept draws are of the walk before this one
    std::vector<cell_draw> scratch_;    // the draws of the chunk the walk is in
    int open_ = -1;                     // that chunk; the ones before it are done
    std::size_t old_read_ = 0;          // its last draws taken over by passed-over runs
    // The open chunk's draws so far are its last draws up to old_read_, not yet
    // copied to scratch_: a chunk the walk passes over whole is never copied.
    bool taking_over_ = false;
    std::size_t kept_bytes_ = 0;
    // Blended draws before each cell within its chunk, and before each chunk.
    std::vector<std::uint16_t> blended_in_chunk_;
    std::vector<std::uint32_t> blended_before_chunk_;
    frame_view view_{};  // of the frame being made
    bool same_view_ = false;  // as the frame recorded before
    bool restyled_ = false;  // the cells' style changed this frame
    std::uint32_t blended_so_far_ = 0;
    const std::function<void(int)>* ready_ = nullptr;
    chunk_counts counts_;
    vertex_sharer sharer_;  // for the triangles of chunks to be kept
    facing_triangles chosen_;  // scratch for choose_facing
};

// Whether no cell of the chunk reaches into the view.
bool chunk_outside_view(const frame_view& view, int chunk);

// Whether the camera decides a chunk's faces: the near plane comes close to
// its cells or their neighbours, or a face of it is seen edge on.
bool chunk_needs_view(const frame_view& view, int chunk);
