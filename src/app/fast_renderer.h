#pragma once

#include <vector>

#include "app/cell_mesh.h"
#include "app/fast_faces.h"
#include "app/fast_frame_record.h"
#include "effects/fountain.h"
#include "sim/world.h"

// Draws the frame's cells in large batches instead of one GLUT solid each,
// with the same result: the same steps and rand() draws, the same order of
// drawing (broken into batches only at fountains), the same picture. Faces
// that cannot reach the picture are left out. Its buffers are kept from frame
// to frame, so a warm frame allocates nothing.
class fast_renderer {
public:
    // Needs the GL context the cells are drawn in, with the camera's model-view
    // matrix current; `fountains` are the FOUNTAIN_COUNT effects for burning cells.
    void draw(world& w, int graphics, fountain* const* fountains);

    const frame_record& record() const { return record_; }
    // Triangles handed to GL in the last frame.
    long triangles_drawn() const { return triangles_drawn_; }

private:
    struct batch_vertex {
        float colour[4];
        float normal[3];
        float position[3];
    };

    void ensure_meshes();
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
};

// The frame's cell drawing with the program's fountains (the global `f`).
void draw_sweep_fast(world& w, int graphics);
