// What the drawing without GL builds for itself, against what GL and GLUT
// give the desktop program: the cell solids' triangles and the camera's
// matrices.

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

#include "app/app_state.h"
#include "app/frame.h"
#include "app/gl.h"
#include "app/startup.h"
#include "render/core/cell_mesh.h"
#include "render/core/view_math.h"
#include "render_window.h"

namespace {

// A triangle's corners, each with its normal.
using corner_list = std::array<float, 18>;
constexpr int FLOATS_PER_CORNER = 6;

std::vector<corner_list> triangles_of(const indexed_mesh& mesh) {
    std::vector<corner_list> triangles;
    for (std::size_t t = 0; t + 2 < mesh.indices.size(); t += 3) {
        corner_list list;
        for (int c = 0; c < 3; ++c) {
            const mesh_vertex& v = mesh.vertices[mesh.indices[t + c]];
            for (int d = 0; d < 3; ++d) {
                list[c * FLOATS_PER_CORNER + d] = v.position[d];
                list[c * FLOATS_PER_CORNER + 3 + d] = v.normal[d];
            }
        }
        triangles.push_back(list);
    }
    return triangles;
}

// The same triangle, starting at any of its corners (which keeps the winding).
bool same_triangle(const corner_list& a, const corner_list& b, float tolerance) {
    for (int start = 0; start < 3; ++start) {
        bool same = true;
        for (std::size_t i = 0; i < a.size() && same; ++i)
            same = std::abs(a[i] - b[(i + start * FLOATS_PER_CORNER) % b.size()]) <= tolerance;
        if (same) return true;
    }
    return false;
}

// The same triangles, in any order, corners within `tolerance`.
void expect_same_triangles(const indexed_mesh& built, const indexed_mesh& captured, float tolerance) {
    std::vector<corner_list> unmatched = triangles_of(captured);
    const std::vector<corner_list> mine = triangles_of(built);
    EXPECT_EQ(mine.size(), unmatched.size());
    for (const corner_list& t : mine) {
        const auto match = std::find_if(unmatched.begin(), unmatched.end(),
                                        [&](const corner_list& other) { return same_triangle(t, other, tolerance); });
        EXPECT_NE(match, unmatched.end()) << "a built triangle GLUT does not draw: " << testing::PrintToString(t);
        if (match != unmatched.end()) unmatched.erase(match);
    }
}

// GL's feedback gives window coordinates back a little off (up to 2e-5 of
// a cell seen, on y alone); a wrong corner is off by a tenth at least.
constexpr float CORNER_TOLERANCE = 1e-4f;

}  // namespace

TEST(BuiltWithoutGl, CellSolidsAreGlutsTriangles) {
    const cube_mesh built_cube = build_cell_cube(), captured_cube = capture_cell_cube();
    for (int face = 0; face < CUBE_FACES; ++face) {
        SCOPED_TRACE(testing::Message() << "cube face " << face);
        expect_same_triangles(built_cube.faces[face], captured_cube.faces[face], CORNER_TOLERANCE);
    }
    SCOPED_TRACE("sphere");
    expect_same_triangles(build_cell_sphere(), capture_cell_sphere(), CORNER_TOLERANCE);
}

TEST(BuiltWithoutGl, CameraAndWindowMatricesAreGls) {
    struct view_case {
        double elevation, azimuth, distance;
        int width, height;
    };
    for (const view_case& c : {view_case{20.0, 0.0, 100.0, 640, 480}, view_case{359.5, 225.0, 10.0, 300, 700},
                               view_case{90.0, 123.4, 55.0, 1, 0}}) {
        SCOPED_TRACE(testing::Message() << c.elevation << ", " << c.azimuth << ", " << c.distance);
        resize(c.width, c.height);
        polar_x = c.elevation;
        polar_y = c.azimuth;
        polar_d = c.distance;
        glLoadIdentity();
        place_camera();
        GLdouble modelview[16], projection[16];
        glGetDoublev(GL_MODELVIEW_MATRIX, modelview);
        glGetDoublev(GL_PROJECTION_MATRIX, projection);
        const frame_view view = camera_view(c.elevation, c.azimuth, c.distance, c.width, c.height);
        for (int i = 0; i < 16; ++i) {
            EXPECT_NEAR(view.modelview[i], modelview[i], 1e-4) << "model-view " << i;
            EXPECT_NEAR(view.projection[i], projection[i], 1e-6) << "projection " << i;
        }
        GLint viewport[4];
        glGetIntegerv(GL_VIEWPORT, viewport);
        for (int i = 0; i < 4; ++i) EXPECT_EQ(view.viewport[i], viewport[i]);
    }
    resize(RENDER_WIDTH, RENDER_HEIGHT);
}
