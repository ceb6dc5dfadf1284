#pragma once

#include <cstddef>
#include <functional>
#include <vector>

#include "render/core/cell_mesh.h"
#include "render/core/fast_faces.h"
#include "render/core/fast_frame_record.h"
#include "render/core/frame_data.h"
#include "sim/world.h"

// Turns one frame's sweep into large batches of lit triangles instead of one
// solid per cell, with the same result: the same steps and rand() draws, the
// same order of drawing (broken into batches only at fountains), the same
// picture. Faces that cannot reach the picture are left out. The batches go
// to a sink while the sweep goes on; its buffers are kept from frame to
// frame, so a warm frame allocates nothing.
bool same_colour(const cell_draw& a, const cell_draw& b);
// The next draw carries a run of cubes on: the next cell of the row, in the same colour.
bool continues_run(const cell_draw& previous, const cell_draw& next);

// Appends the mesh drawn for `cell`, stretched along z from z_first to
// z_last, as lit triangles in the cell's colour.
void append_cell_triangles(const cell_draw& cell, int z_first, int z_last, const std::vector<mesh_vertex>& vertices,
                           const unsigned* indices, std::size_t index_count, std::vector<lit_vertex>& out_vertices,
                           std::vector<unsigned>& out_indices);

class cell_batcher {
public:
    // The solids the cells are drawn with; needed before the first frame.
    void set_meshes(const cube_mesh& cube, const sphere_mesh& sphere);
    bool has_meshes() const { return meshes_ready_; }

    // One sweep of the world, each cell drawn as it was before its step, seen
    // through `view`.
    void sweep(world& w, int graphics, const frame_view& view, batch_sink& sink);
    // The same for a frame in which the world stands still (see
    // frame_record::record_still).
    void still(const world& w, int graphics, const frame_view& view, batch_sink& sink);

    const frame_record& record() const { return record_; }
    // Triangles handed to the sink in the last frame.
    long triangles() const { return triangles_; }
    // While measuring, each frame times the part spent handing the recorded
    // draws to the sink; the rest of it is the walk over the world.
    void measure_drawing(bool on) { measuring_ = on; }
    double drawing_seconds() const { return drawing_seconds_; }

private:
    // Draws what `record(settled)` records, handing settled draws over as it goes.
    template <class Record>
    void batch_recorded(Record&& record, int graphics, const frame_view& view, batch_sink& sink);
    // Batches the recorded draws [first, end); returns end.
    std::size_t batch_settled(std::size_t first, std::size_t end, int graphics, const frame_view& view,
                              batch_sink& sink);
    void add_cube_run(const cell_draw* run, int length, const frame_view& view, batch_sink& sink);
    void add_sphere(const cell_draw& cell, const frame_view& view, batch_sink& sink);
    // The mesh at the cell's x and y, stretched along z from z_first to z_last.
    void add_mesh(const cell_draw& cell, int z_first, int z_last, const indexed_mesh& mesh, batch_sink& sink);
    void add_mesh(const cell_draw& cell, int z_first, int z_last, const std::vector<mesh_vertex>& vertices,
                  const unsigned* indices, std::size_t index_count, batch_sink& sink);
    void flush(batch_sink& sink);

    bool meshes_ready_ = false;
    cube_mesh cube_;
    sphere_mesh sphere_;
    std::vector<triangle_plane> sphere_planes_;
    std::vector<unsigned> facing_indices_;
    frame_record record_;
    std::vector<lit_vertex> batch_;
    std::vector<unsigned> batch_indices_;
    long triangles_ = 0;
    bool measuring_ = false;
    double drawing_seconds_ = 0.0;
};
