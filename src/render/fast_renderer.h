#pragma once

#include <cstddef>
#include <vector>

#include "render/cell_mesh.h"
#include "render/fast_faces.h"
#include "render/fast_frame_record.h"
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

// Draws the frame's cells in large batches instead of one GLUT solid each,
// with the same result: the same steps and rand() draws, the same order of
// drawing (broken into batches only at fountains), the same picture. Faces
// that cannot reach the picture are left out. Its buffers are kept from frame
// to frame, so a warm frame allocates nothing.
class fast_renderer {
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

    const frame_record& record() const { return record_; }
    // Triangles handed to GL in the last frame.
    long triangles_drawn() const { return triangles_drawn_; }
    // Times the drawing so far bounded the work GL had queued.
    long queue_bounds_reached() const { return queue_limit_.bounds_reached(); }
    // While measuring, each frame times the part of its drawing spent handing
    // the recorded draws to GL; the rest of it is the walk over the world.
    void measure_drawing(bool on) { measuring_ = on; }
    double drawing_seconds() const { return drawing_seconds_; }

    // GL's queued work is bounded every QUEUED_TRIANGLES triangles, with
    // QUEUED_BOUNDS such stretches left in flight.
    static constexpr std::size_t QUEUED_TRIANGLES = 1 << 15;
    static constexpr int QUEUED_BOUNDS = 2;

private:
    struct batch_vertex {
        float colour[4];
        float normal[3];
        float position[3];
    };

    void ensure_meshes();
    // Draws what `record(settled)` records, handing settled draws to GL as it goes.
    template <class Record>
    void draw_recorded(Record&& record, int graphics, fountain* const* fountains);
    // Draws the recorded draws [first, end); returns end.
    std::size_t draw_settled(std::size_t first, std::size_t end, int graphics, const view_geometry& view,
                             fountain* const* fountains);
    void add_cube_run(const cell_draw* run, int length, const view_geometry& view);
    void add_cubes_one_by_one(const cell_draw* run, int length, const face_fate (*fates)[CUBE_FACES]);
    void add_sphere(const cell_draw& cell, const view_geometry& view);
    // The mesh at the cell's x and y, stretched along z from z_first to z_last.
    void add_mesh(const cell_draw& cell, int z_first, int z_last, const indexed_mesh& mesh);
    void add_mesh(const cell_draw& cell, int z_first, int z_last, const std::vector<mesh_vertex>& vertices,
                  const unsigned* indices, std::size_t index_count);
    void draw_fountain(const cell_draw& cell, fountain* const* fountains);
    void flush();

    bool meshes_ready_ = false;
    cube_mesh cube_;
    sphere_mesh sphere_;
    std::vector<triangle_plane> sphere_planes_;
    std::vector<unsigned> facing_indices_;
    frame_record record_;
    std::vector<batch_vertex> batch_;
    std::vector<unsigned> batch_indices_;
    long triangles_drawn_ = 0;
    bool measuring_ = false;
    double drawing_seconds_ = 0.0;
    gl_queue_limit queue_limit_{QUEUED_TRIANGLES, QUEUED_BOUNDS};
};
