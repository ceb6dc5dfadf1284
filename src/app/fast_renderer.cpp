#include "app/fast_renderer.h"

#include "app/app_state.h"
#include "app/cell_drawing.h"
#include "app/gl.h"

namespace {

// Vertices per GL call: large enough to keep GL busy, small enough to keep
// the buffer in a few megabytes whatever the frame holds.
constexpr std::size_t BATCH_VERTICES = 1 << 16;
constexpr double CUBE_HALF = 0.5;
constexpr double SPHERE_REACH = 0.75;

}  // namespace

void fast_renderer::ensure_meshes() {
    if (meshes_ready_) return;
    cube_ = capture_cell_cube();
    sphere_ = capture_cell_sphere();
    batch_.reserve(BATCH_VERTICES);
    meshes_ready_ = true;
}

void fast_renderer::draw(world& w, int graphics, fountain* const* fountains) {
    ensure_meshes();
    record_.sweep(w);
    triangles_drawn_ = 0;
    const std::vector<cell_draw>& draws = record_.draws();
    if (draws.empty()) return;

    double modelview[16], projection[16];
    glGetDoublev(GL_MODELVIEW_MATRIX, modelview);
    glGetDoublev(GL_PROJECTION_MATRIX, projection);
    const view_geometry view = view_from_matrices(modelview, projection);

    glPushClientAttrib(GL_CLIENT_VERTEX_ARRAY_BIT);
    for (const cell_draw& cell : draws) {
        if (cell.fountain != NO_FOUNTAIN) {
            flush();
            draw_fountain(cell, fountains);
        } else if (graphics == GRAPHICS_SPHERES) {
            add_sphere(cell, view);
        } else {
            add_cube(cell, view);
        }
    }
    flush();
    glPopClientAttrib();

    // Leave the current colour (and so the colour material) as drawing cell by
    // cell would; a fountain sets its own.
    const cell_draw& last = draws.back();
    if (last.fountain == NO_FOUNTAIN) glColor4f(last.red, last.green, last.blue, last.alpha);
}

void fast_renderer::add_cube(const cell_draw& cell, const view_geometry& view) {
    if (box_outside_view(view, cell.x, cell.y, cell.z, CUBE_HALF)) return;
    for (int face = 0; face < CUBE_FACES; ++face) {
        if (cube_face_fate(record_, view, cell.x, cell.y, cell.z, face) != face_fate::drawn) continue;
        const std::vector<mesh_vertex>& mesh = cube_.faces[face];
        add_triangles(cell, mesh.data(), mesh.size());
    }
}

void fast_renderer::add_sphere(const cell_draw& cell, const view_geometry& view) {
    if (box_outside_view(view, cell.x, cell.y, cell.z, SPHERE_REACH)) return;
    add_triangles(cell, sphere_.triangles.data(), sphere_.triangles.size());
}

void fast_renderer::add_triangles(const cell_draw& cell, const mesh_vertex* first, std::size_t count) {
    if (batch_.size() + count > BATCH_VERTICES) flush();
    const float centre[3] = {static_cast<float>(cell.x), static_cast<float>(cell.y), static_cast<float>(cell.z)};
    for (const mesh_vertex* v = first; v != first + count; ++v) {
        batch_vertex out;
        out.colour[0] = cell.red;
        out.colour[1] = cell.green;
        out.colour[2] = cell.blue;
        out.colour[3] = cell.alpha;
        for (int d = 0; d < 3; ++d) {
            out.normal[d] = v->normal[d];
            out.position[d] = centre[d] + v->position[d];
        }
        batch_.push_back(out);
    }
}

void fast_renderer::flush() {
    if (batch_.empty()) return;
    glInterleavedArrays(GL_C4F_N3F_V3F, sizeof(batch_vertex), batch_.data());
    glDrawArrays(GL_TRIANGLES, 0, static_cast<GLsizei>(batch_.size()));
    triangles_drawn_ += static_cast<long>(batch_.size() / 3);
    batch_.clear();
}

// Exactly the calls of the cell-by-cell drawing, at the same point of the order.
void fast_renderer::draw_fountain(const cell_draw& cell, fountain* const* fountains) {
    glPushMatrix();
    glColor4f(cell.red, cell.green, cell.blue, cell.alpha);
    glTranslated(cell.x, cell.y, cell.z);
    if (fountain* effect = fountains[cell.fountain]) effect->draw(cell.x, cell.y, cell.z);
    glPopMatrix();
}

void draw_sweep_fast(world& w, int graphics) {
    // The program draws one frame at a time on the GLUT thread; the renderer's
    // buffers live as long as the program.
    static fast_renderer renderer;
    renderer.draw(w, graphics, f);
}
