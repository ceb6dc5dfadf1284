#include "render/cell_mesh.h"

#include <cmath>

#include "render/cell_drawing.h"
#include "render/gl.h"

namespace {

constexpr int FEEDBACK_FLOATS_PER_VERTEX = 3;  // GL_3D: window x, y, z
constexpr int FEEDBACK_CAPACITY = 1 << 16;

struct triangle {
    float corner[3][3];
};

// Draws through GL's feedback mode with identity transforms and a 2 x 2
// viewport, so that window coordinates give back object coordinates: x + 1,
// y + 1 and (z + 1) / 2. Culling is off: every triangle comes back.
template <class Draw>
std::vector<triangle> capture_triangles(Draw&& draw) {
    std::vector<GLfloat> feedback(FEEDBACK_CAPACITY);
    glPushAttrib(GL_VIEWPORT_BIT | GL_ENABLE_BIT | GL_TRANSFORM_BIT);
    glDisable(GL_CULL_FACE);
    glViewport(0, 0, 2, 2);
    glDepthRange(0.0, 1.0);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();

    glFeedbackBuffer(FEEDBACK_CAPACITY, GL_3D, feedback.data());
    glRenderMode(GL_FEEDBACK);
    draw();
    const GLint used = glRenderMode(GL_RENDER);

    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glPopMatrix();
    glPopAttrib();

    std::vector<triangle> triangles;
    for (GLint i = 0; i < used;) {
        const int token = static_cast<int>(feedback[i++]);
        if (token != GL_POLYGON_TOKEN) break;  // solids give polygons only
        const int count = static_cast<int>(feedback[i++]);
        // Polygons come back as triangles, or as fans when clipping cut them.
        float vertices[8][3];
        for (int v = 0; v < count; ++v, i += FEEDBACK_FLOATS_PER_VERTEX)
            if (v < 8) {
                vertices[v][0] = feedback[i] - 1.0f;
                vertices[v][1] = feedback[i + 1] - 1.0f;
                vertices[v][2] = feedback[i + 2] * 2.0f - 1.0f;
            }
        for (int v = 2; v < count && v < 8; ++v) {
            triangle t;
            for (int d = 0; d < 3; ++d) {
                t.corner[0][d] = vertices[0][d];
                t.corner[1][d] = vertices[v - 1][d];
                t.corner[2][d] = vertices[v][d];
            }
            triangles.push_back(t);
        }
    }
    return triangles;
}

void geometric_normal(const triangle& t, double n[3]) {
    double a[3], b[3];
    for (int d = 0; d < 3; ++d) {
        a[d] = t.corner[1][d] - t.corner[0][d];
        b[d] = t.corner[2][d] - t.corner[0][d];
    }
    n[0] = a[1] * b[2] - a[2] * b[1];
    n[1] = a[2] * b[0] - a[0] * b[2];
    n[2] = a[0] * b[1] - a[1] * b[0];
}

// Triangles that cover no area (the poles of GLUT's strips) draw nothing.
constexpr double DEGENERATE_AREA = 1e-10;

bool degenerate(const triangle& t) {
    double n[3];
    geometric_normal(t, n);
    return n[0] * n[0] + n[1] * n[1] + n[2] * n[2] < DEGENERATE_AREA;
}

int outward_face(const triangle& t) {
    double n[3];
    geometric_normal(t, n);
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

}  // namespace

cube_mesh capture_cell_cube() {
    cube_mesh mesh;
    for (const triangle& t : capture_triangles([] { glutSolidCube(CELL_CUBE_EDGE); })) {
        if (degenerate(t)) continue;
        const int face = outward_face(t);
        for (const auto& corner : t.corner) {
            mesh_vertex v{};
            v.normal[face_axis(face)] = static_cast<float>(face_sign(face));
            for (int d = 0; d < 3; ++d) v.position[d] = corner[d];
            add_corner(mesh.faces[face], v);
        }
    }
    return mesh;
}

sphere_mesh capture_cell_sphere() {
    sphere_mesh mesh;
    const auto draw = [] { glutSolidSphere(CELL_SPHERE_RADIUS, CELL_SPHERE_SLICES, CELL_SPHERE_STACKS); };
    for (const triangle& t : capture_triangles(draw)) {
        if (degenerate(t)) continue;
        for (const auto& corner : t.corner) {
            // A sphere's normal points along its radius; GL normalises it.
            mesh_vertex v{};
            for (int d = 0; d < 3; ++d) {
                v.position[d] = corner[d];
                v.normal[d] = static_cast<float>(corner[d] / CELL_SPHERE_RADIUS);
            }
            add_corner(mesh, v);
        }
    }
    return mesh;
}

std::vector<triangle_plane> triangle_planes(const indexed_mesh& mesh) {
    std::vector<triangle_plane> planes;
    for (std::size_t t = 0; t + 2 < mesh.indices.size(); t += 3) {
        triangle corners;
        for (int c = 0; c < 3; ++c)
            for (int d = 0; d < 3; ++d) corners.corner[c][d] = mesh.vertices[mesh.indices[t + c]].position[d];
        triangle_plane plane;
        geometric_normal(corners, plane.normal);
        const double length = std::sqrt(plane.normal[0] * plane.normal[0] + plane.normal[1] * plane.normal[1] +
                                        plane.normal[2] * plane.normal[2]);
        plane.offset = 0.0;
        for (int d = 0; d < 3; ++d) {
            plane.normal[d] /= length;
            plane.offset += plane.normal[d] * corners.corner[0][d];
        }
        planes.push_back(plane);
    }
    return planes;
}
