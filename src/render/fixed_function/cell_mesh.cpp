#include "render/core/cell_mesh.h"

#include "render/core/cell_drawing.h"
#include "render/fixed_function/gl.h"

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

}  // namespace

cube_mesh capture_cell_cube() {
    cube_mesh mesh;
    for (const triangle& t : capture_triangles([] { glutSolidCube(CELL_CUBE_EDGE); }))
        add_cube_triangle(mesh, t.corner);
    return mesh;
}

sphere_mesh capture_cell_sphere() {
    sphere_mesh mesh;
    const auto draw = [] { glutSolidSphere(CELL_SPHERE_RADIUS, CELL_SPHERE_SLICES, CELL_SPHERE_STACKS); };
    for (const triangle& t : capture_triangles(draw)) add_sphere_triangle(mesh, t.corner);
    return mesh;
}
