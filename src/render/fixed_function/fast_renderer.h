#pragma once

#include <cstddef>

#include "render/core/cell_batches.h"
#include "render/core/fast_frame_record.h"
#include "render/core/fountain_items.h"
#include "render/core/frame_data.h"
#include "render/core/kept_chunks.h"
#include "render/fixed_function/kept_gl_meshes.h"
#include "effects/fountain.h"
#include "sim/world.h"

// Keeps the work handed to GL but not yet rasterised to about `bounds` x
// `limit` triangles. A software rasteriser holds every queued triangle in
// memory, and with a large frame it falls far behind the CPU; waiting for all
// of it (glFinish) would stop the CPU and the rasteriser overlapping, so a few
// bounds' worth stay in flight while the next is prepared.
class gl_queue_limit {
public:
    static constexpr int MAX_BOUNDS = 4;

    // `bounds` is taken between 1 and MAX_BOUNDS.
    gl_queue_limit(std::size_t limit, int bounds);
    ~gl_queue_limit();
    gl_queue_limit(const gl_queue_limit&) = delete;
    gl_queue_limit& operator=(const gl_queue_limit&) = delete;

    // After `triangles` more were handed to GL.
    void submitted(std::size_t triangles);
    // Bounds passed so far; at each the CPU waits for the work before the
    // oldest bound still in flight (or, without fences, for all of it).
    long bounds_reached() const { return bounds_reached_; }

private:
    std::size_t limit_;
    int bounds_;  // 1 to MAX_BOUNDS
    std::size_t since_bound_ = 0;
    void* in_flight_[MAX_BOUNDS] = {};  // GL's fences, oldest first
    long bounds_reached_ = 0;
};

// The batched drawing of the frame's cells in fixed-function GL: the batches
// of cell_batcher (the same picture as drawing cell by cell), handed to GL
// while the sweep goes on, with GL's queued work bounded.
class fast_renderer final : private batch_sink {
public:
    fast_renderer() = default;
    // With GL's queued work bounded otherwise than the program's default.
    fast_renderer(std::size_t queued_triangles, int queued_bounds) : queue_limit_(queued_triangles, queued_bounds) {}

    // Needs the GL context the cells are drawn in, with the camera's model-view
    // matrix current; `fountains` are the FOUNTAIN_COUNT effects for burning cells.
    void draw(world& w, int graphics, fountain* const* fountains);
    // The same drawing of a frame in which the world stands still: no cell is
    // stepped and the world is left as it is (see frame_record::record_still).
    void draw_still(const world& w, int graphics, fountain* const* fountains);
    // With meshes kept, a still frame also counts as one of the world's walks.
    void draw_still(world& w, int graphics, fountain* const* fountains);
    // The whole frame after the camera: the floor and the marker of `pen`,
    // then the cells, stepped (draw) or standing still (draw_still).
    void draw_frame(world& w, bool steps, int graphics, const pen_marker_place& pen, fountain* const* fountains);

    // Whether the cells' triangles are kept between frames (in chunks, made
    // again only where the cells changed) or made and handed over whole every
    // frame. Either way the picture, the world and rand() are the same.
    void keep_meshes(bool on);
    bool keeps_meshes() const { return keep_meshes_; }
    // What the last frame with kept meshes did with its chunks.
    const chunk_counts& kept_counts() const { return kept_.counts(); }

    // The last frame's draws in the plain path.
    const frame_record& record() const { return batcher_.record(); }
    // Triangles handed to GL in the last frame.
    long triangles_drawn() const { return keep_meshes_ ? kept_triangles_ : batcher_.triangles(); }
    // Times the drawing so far bounded the work GL had queued.
    long queue_bounds_reached() const { return queue_limit_.bounds_reached(); }
    // While measuring, each frame times the part of its drawing spent handing
    // the recorded draws to GL; the rest of it is the walk over the world.
    void measure_drawing(bool on) { batcher_.measure_drawing(on); }
    double drawing_seconds() const { return keep_meshes_ ? kept_drawing_seconds_ : batcher_.drawing_seconds(); }

    // GL's queued work is bounded every QUEUED_TRIANGLES triangles, with
    // QUEUED_BOUNDS such stretches left in flight.
    static constexpr std::size_t QUEUED_TRIANGLES = 1 << 15;
    static constexpr int QUEUED_BOUNDS = 2;
    // The kept drawing starts GL's rasteriser at a layer's end only once this
    // many triangles wait: waking its threads for fewer costs more than it gains.
    static constexpr std::size_t KEPT_FLUSH_TRIANGLES = 1 << 14;

private:
    // Reads the camera from GL, draws what `batch(view)` batches, and leaves
    // GL's state as drawing cell by cell would.
    template <class Batch>
    void draw_batched(Batch&& batch, fountain* const* fountains);
    void draw_kept(world& w, bool steps, int graphics, fountain* const* fountains);
    void draw_ready_chunk(int chunk);
    void draw_kept_chunk(int chunk);
    // The chunk's triangles, part by part, with the fountains between: those
    // GL keeps, or with `streamed` those made for this frame.
    void draw_chunk(int chunk, const std::vector<mesh_part>& parts, const chunk_mesh* streamed);
    void submitted(std::size_t indices);

    void take_triangles(const lit_vertex* vertices, std::size_t vertex_count, const unsigned* indices,
                        std::size_t index_count) override;
    void take_fountain(const cell_draw& cell) override;
    void settled() override;

    frame_scene scene_;  // kept, so that a frame allocates nothing
    // The fountain being drawn; drawn as soon as it is recorded.
    std::vector<fountain_item> fountain_;
    std::vector<fountain_corner> fountain_corners_;
    cell_batcher batcher_;
    fountain* const* fountains_ = nullptr;  // of the frame being drawn
    bool unflushed_ = false;                // triangles handed to GL since it was last told to start
    std::size_t unflushed_triangles_ = 0;   // how many, of the kept chunks' drawing
    gl_queue_limit queue_limit_{QUEUED_TRIANGLES, QUEUED_BOUNDS};
    bool keep_meshes_ = true;
    kept_chunks kept_;
    kept_gl_meshes held_;
    chunk_mesh made_;  // the triangles of the chunk being made, kept only by GL
    long kept_triangles_ = 0;
    double kept_drawing_seconds_ = 0.0;
};
