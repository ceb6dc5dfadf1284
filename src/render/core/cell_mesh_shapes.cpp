// The cell solids without GL: assembling GLUT's triangles into meshes, and
// building those triangles the way GLUT does.

#include <cmath>
#include <array>
#include <cstdlib>

#include "render/core/cell_drawing.h"
#include "render/core/cell_mesh.h"

namespace {

// Triangles that cover no area (the poles of GLUT's strips) draw nothing.
constexpr double DEGENERATE_AREA = 1e-10;

bool degenerate(const float corners[3][3]) {
    double n[3];
    triangle_normal(corners[0], corners[1], corners[2], n);
    return n[0] * n[0] + n[1] * n[1] + n[2] * n[2] < DEGENERATE_AREA;
}

int outward_face(const float corners[3][3]) {
    double n[3];
    triangle_normal(corners[0], corners[1], corners[2], n);
    int axis = 0;
    for (int d = 1; d < 3; ++d)
        if (std::fabs(n[d]) > std::fabs(n[axis])) axis = d;
    return axis * 2 + (n[axis] > 0 ? 0 : 1);
}

// Adds a corner, reusing an equal one already there.
void add_corner(indexed_mesh& mesh, const mesh_vertex& corner) {
    for (std::size_t i = 0; i < mesh.vertices.size(); ++i) {
        const mesh_vertex& known = mesh.vertices[i];
        bool same = true;
        for (int d = 0; d < 3; ++d)
            same = same && known.position[d] == corner.position[d] && known.normal[d] == corner.normal[d];
        if (same) {
            mesh.indices.push_back(static_cast<unsigned>(i));
            return;
        }
    }
    mesh.indices.push_back(static_cast<unsigned>(mesh.vertices.size()));
    mesh.vertices.push_back(corner);
}

// GLUT cuts each quad of its solid cube into the triangles (0, 1, 2) and (0, 2, 3).
constexpr int QUAD_TRIANGLES[2][3] = {{0, 1, 2}, {0, 2, 3}};

// sin and cos of n steps round a circle (half of it for a half circle), the
// way GLUT tabulates them: single precision, the last step exact. A negative
// n turns the other way.
void circle_table(int n, bool half_circle, std::vector<float>& sines, std::vector<float>& cosines) {
    constexpr float PI_F = 3.14159265358979323846f;
    const int size = std::abs(n);
    const float angle = (half_circle ? 1.0f : 2.0f) * PI_F / static_cast<float>(n == 0 ? 1 : n);
    sines.assign(static_cast<std::size_t>(size) + 1, 0.0f);
    cosines.assign(static_cast<std::size_t>(size) + 1, 1.0f);
    for (int i = 1; i < size; ++i) {
        sines[i] = static_cast<float>(std::sin(angle * static_cast<float>(i)));
        cosines[i] = static_cast<float>(std::cos(angle * static_cast<float>(i)));
    }
    if (half_circle) {
        sines[size] = 0.0f;
        cosines[size] = -1.0f;
    } else {
        sines[size] = sines[0];
        cosines[size] = cosines[0];
    }
}

}  // namespace

void triangle_normal(const float a[3], const float b[3], const float c[3], double n[3]) {
    double u[3], v[3];
    for (int d = 0; d < 3; ++d) {
        u[d] = b[d] - a[d];
        v[d] = c[d] - a[d];
    }
    n[0] = u[1] * v[2] - u[2] * v[1];
    n[1] = u[2] * v[0] - u[0] * v[2];
    n[2] = u[0] * v[1] - u[1] * v[0];
}

void add_cube_triangle(cube_mesh& mesh, const float corners[3][3]) {
    if (degenerate(corners)) return;
    const int face = outward_face(corners);
    for (int c = 0; c < 3; ++c) {
        mesh_vertex v{};
        v.normal[face_axis(face)] = static_cast<float>(face_sign(face));
        for (int d = 0; d < 3; ++d) v.position[d] = corners[c][d];
        add_corner(mesh.faces[face], v);
    }
}

void add_sphere_triangle(sphere_mesh& mesh, const float corners[3][3]) {
    if (degenerate(corners)) return;
    for (int c = 0; c < 3; ++c) {
        // A sphere's normal points along its radius; GL normalises it.
        mesh_vertex v{};
        for (int d = 0; d < 3; ++d) {
            v.position[d] = corners[c][d];
            v.normal[d] = static_cast<float>(corners[c][d] / CELL_SPHERE_RADIUS);
        }
        add_corner(mesh, v);
    }
}

std::vector<triangle_plane> triangle_planes(const indexed_mesh& mesh) {
    std::vector<triangle_plane> planes;
    for (std::size_t t = 0; t + 2 < mesh.indices.size(); t += 3) {
        const float* corner[3];
        for (int c = 0; c < 3; ++c) corner[c] = mesh.vertices[mesh.indices[t + c]].position;
        triangle_plane plane;
        triangle_normal(corner[0], corner[1], corner[2], plane.normal);
        const double length = std::sqrt(plane.normal[0] * plane.normal[0] + plane.normal[1] * plane.normal[1] +
                                        plane.normal[2] * plane.normal[2]);
        plane.offset = 0.0;
        for (int d = 0; d < 3; ++d) {
            plane.normal[d] /= length;
            plane.offset += plane.normal[d] * corner[0][d];
        }
        planes.push_back(plane);
    }
    return planes;
}

cube_mesh build_cell_cube() {
    const float half_edges = static_cast<float>(CELL_CUBE_EDGE);  // the table's corners are half an edge out
    cube_mesh mesh;
    for (const auto& quad : GLUT_CUBE_QUADS)
        for (const auto& triangle : QUAD_TRIANGLES) {
            float corners[3][3];
            for (int c = 0; c < 3; ++c)
                for (int d = 0; d < 3; ++d) corners[c][d] = GLUT_CUBE_CORNERS[quad[triangle[c]]][d] * half_edges;
            add_cube_triangle(mesh, corners);
        }
    return mesh;
}

// GLUT's sphere: a pole on +z, rings of `slices` corners down to the pole on
// -z, each band between two rings drawn as one triangle strip.
sphere_mesh build_cell_sphere() {
    const int slices = CELL_SPHERE_SLICES, stacks = CELL_SPHERE_STACKS;
    const float radius = static_cast<float>(CELL_SPHERE_RADIUS);
    std::vector<float> ring_sin, ring_cos, stack_sin, stack_cos;
    circle_table(-slices, false, ring_sin, ring_cos);
    circle_table(stacks, true, stack_sin, stack_cos);

    std::vector<std::array<float, 3>> corners;
    corners.push_back({0.0f, 0.0f, radius});
    for (int i = 1; i < stacks; ++i)
        for (int j = 0; j < slices; ++j)
            corners.push_back({ring_cos[j] * stack_sin[i] * radius, ring_sin[j] * stack_sin[i] * radius,
                               stack_cos[i] * radius});
    corners.push_back({0.0f, 0.0f, -radius});
    const int bottom = static_cast<int>(corners.size()) - 1;

    // The strips' corner numbers, band by band.
    std::vector<std::vector<int>> strips;
    const auto ring = [&](int stack, int j) {
        return stack == 0 ? 0 : stack == stacks ? bottom : 1 + (stack - 1) * slices + j % slices;
    };
    for (int band = 0; band < stacks; ++band) {
        std::vector<int> strip;
        for (int j = 0; j <= slices; ++j) {
            strip.push_back(ring(band + 1, j));
            strip.push_back(ring(band, j));
        }
        strips.push_back(strip);
    }

    sphere_mesh mesh;
    for (const std::vector<int>& strip : strips)
        for (std::size_t k = 0; k + 2 < strip.size(); ++k) {
            // Every second triangle of a strip is turned round to keep its winding.
            const int order[3] = {k % 2 == 0 ? strip[k] : strip[k + 1], k % 2 == 0 ? strip[k + 1] : strip[k],
                                  strip[k + 2]};
            float triangle[3][3];
            for (int c = 0; c < 3; ++c)
                for (int d = 0; d < 3; ++d) triangle[c][d] = corners[order[c]][d];
            add_sphere_triangle(mesh, triangle);
        }
    return mesh;
}
