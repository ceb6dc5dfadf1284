#pragma once

#include <vector>

// The triangles GLUT draws for one cell, read back from GL once (or built
// the way GLUT builds them) so that the batched drawing puts down exactly the
// same geometry, normals and winding.

struct mesh_vertex {
    float normal[3];
    float position[3];  // from the cell's centre
};

constexpr int CUBE_FACES = 6;

// A cell's faces lie half an edge from its centre.
constexpr double CELL_HALF = 0.5;

// Faces are numbered by their outward normal: axis * 2 + (0 for +, 1 for -),
// with x, y, z as axes 0, 1, 2.
constexpr int face_axis(int face) { return face / 2; }
constexpr int face_sign(int face) { return face % 2 == 0 ? 1 : -1; }
constexpr int FACE_FRONT = 4;  // +z, toward the next cell of the row
constexpr int FACE_BACK = 5;   // -z

// GLUT's cube of edge 1: its corners, its faces as quads wound
// counter-clockwise from outside, and each face's normal.
constexpr int GLUT_CUBE_CORNER_COUNT = 8;
constexpr int QUAD_CORNERS = 4;
constexpr float GLUT_CUBE_CORNERS[GLUT_CUBE_CORNER_COUNT][3] = {
    {.5f, .5f, .5f}, {-.5f, .5f, .5f}, {-.5f, -.5f, .5f}, {.5f, -.5f, .5f},
    {.5f, -.5f, -.5f}, {.5f, .5f, -.5f}, {-.5f, .5f, -.5f}, {-.5f, -.5f, -.5f}};
constexpr int GLUT_CUBE_QUADS[CUBE_FACES][QUAD_CORNERS] = {{0, 1, 2, 3}, {0, 3, 4, 5}, {0, 5, 6, 1},
                                                           {1, 6, 7, 2}, {7, 4, 3, 2}, {4, 7, 6, 5}};
constexpr float GLUT_CUBE_NORMALS[CUBE_FACES][3] = {{0, 0, 1},  {1, 0, 0},  {0, 1, 0},
                                                     {-1, 0, 0}, {0, -1, 0}, {0, 0, -1}};

// Triangles over shared corners: three indices per triangle, in GLUT's order
// and winding.
struct indexed_mesh {
    std::vector<mesh_vertex> vertices;
    std::vector<unsigned> indices;
};

struct cube_mesh {
    indexed_mesh faces[CUBE_FACES];
};

// None of its triangles is degenerate.
using sphere_mesh = indexed_mesh;

// The plane of a triangle, facing out: unit normal and its distance from the
// cell's centre.
struct triangle_plane {
    double normal[3];
    double offset;
};

// One plane per triangle of the mesh, in order.
std::vector<triangle_plane> triangle_planes(const indexed_mesh& mesh);

// The normal of the triangle (a, b, c), on the side from which it winds
// counter-clockwise; its length is twice the triangle's area.
void triangle_normal(const float a[3], const float b[3], const float c[3], double n[3]);

// Adds a triangle of GLUT's solid to the mesh: one of no area is left out, a
// cube's goes to the face it points out of, a sphere's takes its normals
// along the radius.
void add_cube_triangle(cube_mesh& mesh, const float corners[3][3]);
void add_sphere_triangle(sphere_mesh& mesh, const float corners[3][3]);

// Both need a current GL context; they leave its state as they found it.
cube_mesh capture_cell_cube();
sphere_mesh capture_cell_sphere();

// The same solids built as GLUT builds them, with no GL: the same corners,
// triangles, winding and normals.
cube_mesh build_cell_cube();
sphere_mesh build_cell_sphere();
