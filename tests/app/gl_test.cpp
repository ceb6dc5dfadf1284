#include <cmath>
#include <cstdlib>

#include "app/frame.h"
#include "app/keys.h"
#include "app/mouse.h"
#include "render/core/cell_drawing.h"
#include "gl_fixture.h"
#include "gl_harness.h"

// Last: Xlib's macros would clash with the test framework's names.
#include <GL/glx.h>

namespace {

using StartupTest = GlTest;
using FrameTest = GlTest;
using PickTest = GlTest;

void expect_floats(GLenum light_or_face, GLenum name, const float* expected, int count, bool material) {
    GLfloat got[4] = {};
    if (material)
        glGetMaterialfv(light_or_face, name, got);
    else
        glGetLightfv(light_or_face, name, got);
    for (int i = 0; i < count; ++i) EXPECT_FLOAT_EQ(got[i], expected[i]) << "parameter " << name << "[" << i << "]";
}

TEST_F(StartupTest, FixedGlState) {
    for (GLenum cap : {GL_CULL_FACE, GL_DEPTH_TEST, GL_LIGHT0, GL_NORMALIZE, GL_COLOR_MATERIAL, GL_LIGHTING, GL_BLEND,
                       GL_ALPHA_TEST})
        EXPECT_TRUE(glIsEnabled(cap)) << "capability " << cap;
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));

    GLint value = 0;
    glGetIntegerv(GL_CULL_FACE_MODE, &value);
    EXPECT_EQ(value, GL_BACK);
    glGetIntegerv(GL_DEPTH_FUNC, &value);
    EXPECT_EQ(value, GL_LEQUAL);
    glGetIntegerv(GL_BLEND_SRC, &value);
    EXPECT_EQ(value, GL_SRC_ALPHA);
    glGetIntegerv(GL_BLEND_DST, &value);
    EXPECT_EQ(value, GL_ONE_MINUS_SRC_ALPHA);
    glGetIntegerv(GL_ALPHA_TEST_FUNC, &value);
    EXPECT_EQ(value, GL_GREATER);
    GLfloat reference = 0.0f;
    glGetFloatv(GL_ALPHA_TEST_REF, &reference);
    EXPECT_NEAR(reference, 0.1f, 1e-6);
    glGetIntegerv(GL_COLOR_MATERIAL_PARAMETER, &value);
    EXPECT_EQ(value, GL_AMBIENT_AND_DIFFUSE);

    GLfloat clear[4] = {};
    glGetFloatv(GL_COLOR_CLEAR_VALUE, clear);
    EXPECT_EQ(clear[0], 0.0f);
    EXPECT_EQ(clear[1], 0.0f);
    EXPECT_EQ(clear[2], 0.0f);
    EXPECT_EQ(clear[3], 1.0f);

    expect_floats(GL_LIGHT0, GL_AMBIENT, light_ambient, 4, false);
    expect_floats(GL_LIGHT0, GL_DIFFUSE, light_diffuse, 4, false);
    expect_floats(GL_LIGHT0, GL_SPECULAR, light_specular, 4, false);
    // Given under the identity: the eye-space direction is the array itself.
    const float expected_position[4] = {2.0f, 5.0f, 5.0f, 0.0f};
    expect_floats(GL_LIGHT0, GL_POSITION, expected_position, 4, false);
    expect_floats(GL_FRONT, GL_SPECULAR, mat_specular, 4, true);
    expect_floats(GL_FRONT, GL_SHININESS, high_shininess, 1, true);

    GLint buffers = 0;
    glGetIntegerv(GL_DOUBLEBUFFER, &buffers);
    EXPECT_TRUE(buffers);
    glGetIntegerv(GL_DEPTH_BITS, &value);
    EXPECT_GT(value, 0);
}

TEST_F(StartupTest, StartValues) {
    EXPECT_EQ(point_x, 0);
    EXPECT_EQ(point_y, 25);
    EXPECT_EQ(point_z, 0);
    EXPECT_EQ(pen_size, 3);
    EXPECT_EQ(graphics, 0);
    EXPECT_EQ(polar_x, 20.0);
    EXPECT_EQ(polar_y, 0.0);
    EXPECT_EQ(polar_d, 100.0);
    EXPECT_FALSE(sand_on);
    EXPECT_FALSE(camera_on);
    for (fountain* effect : f) EXPECT_NE(effect, nullptr);
}

void expect_frustum(double half_width) {
    GLdouble m[16];
    glGetDoublev(GL_PROJECTION_MATRIX, m);
    const double near = 2.0, far = 1000.0;
    const double expected[16] = {near / half_width, 0, 0, 0, 0, near, 0, 0, 0, 0, -(far + near) / (far - near), -1,
                                 0, 0, -2 * far * near / (far - near), 0};
    for (int i = 0; i < 16; ++i) EXPECT_NEAR(m[i], expected[i], 1e-6) << "element " << i;
}

TEST_F(StartupTest, ResizeSetsViewportAndFrustum) {
    resize(800, 400);
    EXPECT_EQ(windx, 800);
    EXPECT_EQ(windy, 400);
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[0], 0);
    EXPECT_EQ(viewport[1], 0);
    EXPECT_EQ(viewport[2], 800);
    EXPECT_EQ(viewport[3], 400);
    expect_frustum(2.0);

    GLint mode = 0;
    glGetIntegerv(GL_MATRIX_MODE, &mode);
    EXPECT_EQ(mode, GL_MODELVIEW);
    GLdouble modelview[16];
    glGetDoublev(GL_MODELVIEW_MATRIX, modelview);
    for (int i = 0; i < 16; ++i) EXPECT_EQ(modelview[i], i % 5 == 0 ? 1.0 : 0.0);
}

TEST_F(StartupTest, ResizeToZeroHeightKeepsAUsableProjection) {
    resize(300, 0);
    EXPECT_EQ(windy, 0);
    GLdouble m[16];
    glGetDoublev(GL_PROJECTION_MATRIX, m);
    for (double v : m) EXPECT_TRUE(std::isfinite(v));
    expect_frustum(300.0);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(FrameTest, CameraIsLimitedAndWrappedOncePerFrame) {
    polar_x = 725.0;
    polar_y = -0.5;
    polar_d = 5.0;
    display();
    EXPECT_EQ(polar_x, 365.0);
    EXPECT_EQ(polar_y, 359.5);
    EXPECT_EQ(polar_d, 10.0);
    display();
    EXPECT_EQ(polar_x, 5.0);
    EXPECT_EQ(polar_y, 359.5);
    EXPECT_EQ(polar_d, 10.0);
    polar_x = 360.0;
    polar_y = 360.0;
    display();
    EXPECT_EQ(polar_x, 0.0);
    EXPECT_EQ(polar_y, 0.0);
}

TEST_F(FrameTest, EyeLooksAtTheMiddleOfTheFloorFromItsDistance) {
    for (double distance : {100.0, 37.0}) {
        polar_x = 33.0;
        polar_y = 71.0;
        polar_d = distance;
        display();
        GLdouble m[16];
        glGetDoublev(GL_MODELVIEW_MATRIX, m);
        const double eye[3] = {m[0] * 50 + m[8] * 50 + m[12], m[1] * 50 + m[9] * 50 + m[13],
                               m[2] * 50 + m[10] * 50 + m[14]};
        EXPECT_NEAR(eye[0], 0.0, 1e-4);
        EXPECT_NEAR(eye[1], 0.0, 1e-4);
        EXPECT_NEAR(eye[2], -distance, 1e-4);
    }
}

TEST_F(FrameTest, TextIsPlacedTwoCellsBeyondThePen) {
    point_x = 40;
    point_y = 10;
    point_z = 60;
    display();
    render_text("");
    GLint valid = 0;
    glGetIntegerv(GL_CURRENT_RASTER_POSITION_VALID, &valid);
    ASSERT_TRUE(valid);
    GLfloat raster[4];
    glGetFloatv(GL_CURRENT_RASTER_POSITION, raster);
    const auto expected = project(42, 12, 62);
    EXPECT_NEAR(raster[0], expected[0], 1e-2);
    EXPECT_NEAR(raster[1], expected[1], 1e-2);
}

// The pen marker's wire cubes in one frame: white ones and red ones.
struct MarkerCubes {
    int white = 0, red = 0;
};

MarkerCubes count_marker_cubes() {
    constexpr int LINES_PER_WIRE_CUBE = 24;  // four per face
    int white_lines = 0, red_lines = 0;
    for (const FeedbackPrimitive& p : capture_feedback([] { display(); })) {
        if (p.token != GL_LINE_TOKEN && p.token != GL_LINE_RESET_TOKEN) continue;
        const FeedbackVertex& v = p.vertices[0];
        if (v.g < 1e-3f && v.b < 1e-3f && v.r > 0.0f)
            ++red_lines;
        else if (std::fabs(v.r - v.g) < 1e-3f && std::fabs(v.g - v.b) < 1e-3f)
            ++white_lines;
    }
    EXPECT_EQ(white_lines % LINES_PER_WIRE_CUBE, 0);
    EXPECT_EQ(red_lines % LINES_PER_WIRE_CUBE, 0);
    return {white_lines / LINES_PER_WIRE_CUBE, red_lines / LINES_PER_WIRE_CUBE};
}

TEST_F(FrameTest, PenMarkerHasAWhiteCubeAndRedOnesDownToTheFloor) {
    struct Case {
        int height, size, red;
    };
    for (const Case& c : {Case{0, 3, 0}, Case{25, 3, 8}, Case{49, 7, 7}, Case{5, 0, 5}, Case{2, 1, 2}}) {
        polar_d = 200.0;  // the tallest marker stays in view
        point_x = 50;
        point_z = 50;
        point_y = c.height;
        pen_size = c.size;
        const MarkerCubes cubes = count_marker_cubes();
        EXPECT_EQ(cubes.white, 1) << "height " << c.height << " size " << c.size;
        EXPECT_EQ(cubes.red, c.red) << "height " << c.height << " size " << c.size;
    }
}

int triangles_drawn_by_sweep() {
    int triangles = 0;
    for (const FeedbackPrimitive& p : capture_feedback([] { draw_sweep(*w, graphics); }))
        if (p.token == GL_POLYGON_TOKEN) triangles += static_cast<int>(p.vertices.size()) - 2;
    return triangles;
}

TEST_F(FrameTest, CellsAreCubesOrSpheresByStyle) {
    display();  // the camera of a frame
    w->add_particle(TYPE_WALL, 50, 0, 50);
    for (int style : {0, 2, -1}) {
        graphics = style;
        const int triangles = triangles_drawn_by_sweep();
        EXPECT_GE(triangles, 2) << "style " << style;
        EXPECT_LE(triangles, 6) << "style " << style;  // at most three faces of a cube face the eye
    }
    graphics = GRAPHICS_SPHERES;
    EXPECT_GT(triangles_drawn_by_sweep(), 20);
}

TEST_F(FrameTest, BurningCellShowsAFountainPickedAtRandom) {
    display();
    w->add_particle(TYPE_FIRE, 50, 0, 50);
    for (int style : {0, 1}) {
        graphics = style;
        for (unsigned seed : {1u, 2u, 3u, 4u, 5u, 6u}) {
            std::srand(seed);
            const int draw = std::rand();
            std::srand(seed);
            // A fountain is its particles' squares, two triangles each, and no cube.
            EXPECT_EQ(triangles_drawn_by_sweep(), 2 * FOUNTAIN_PARTICLES) << "style " << style;
            EXPECT_EQ(w->grid[50][0][50].id, TYPE_FIRE);
            EXPECT_EQ(w->grid[50][0][50].fountain_index, draw % FOUNTAIN_COUNT);
        }
    }
    // The fountain turns depth testing off while it draws and restores it.
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
}

TEST_F(FrameTest, CellsAreDrawnAsTheyWereBeforeTheirStep) {
    display();
    w->add_particle(TYPE_SAND, 50, 20, 50);  // falls one layer in its step
    const auto primitives = capture_feedback([] { draw_sweep(*w, graphics); });
    EXPECT_EQ(w->grid[50][19][50].id, TYPE_SAND);
    ASSERT_FALSE(primitives.empty());
    // The cube is centred on the old cell: its screen box surrounds the old centre.
    const auto centre = project(50, 20, 50);
    float low = 1e9f, high = -1e9f;
    for (const auto& p : primitives)
        for (const auto& v : p.vertices) {
            low = std::fmin(low, v.y);
            high = std::fmax(high, v.y);
        }
    EXPECT_LT(low, centre[1]);
    EXPECT_GT(high, centre[1]);
    const auto below = project(50, 19, 50);
    EXPECT_GT(low, below[1]);
}

TEST_F(FrameTest, HeldButtonAppliesASizeOnePenEveryOtherFrame) {
    point_x = 50;
    point_y = 40;
    point_z = 50;
    pen_size = 1;
    sand_on = true;
    const int expected_grains[] = {1, 1, 2, 2, 3};
    const int expected_size[] = {0, 1, 0, 1, 0};
    for (int frame = 0; frame < 5; ++frame) {
        display();
        EXPECT_EQ(count_sand(), expected_grains[frame]) << "frame " << frame;
        EXPECT_EQ(pen_size, expected_size[frame]) << "frame " << frame;
    }
}

// The pointer position (from the top left) over the scene point (x, y, z).
std::array<int, 2> pointer_over(double x, double y, double z) {
    const auto window = GlTest::project(x, y, z);
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    return {static_cast<int>(window[0]), viewport[3] - static_cast<int>(window[1])};
}

TEST_F(PickTest, PointerOverTheFloorAimsThePenAtTheCellThere) {
    display();
    point_y = 17;
    for (const auto& [x, z] : {std::array<int, 2>{30, 70}, {50, 50}, {20, 40}, {90, 10}, {0, 0}, {99, 0}}) {
        const auto pointer = pointer_over(x + 0.5, 0.0, z + 0.5);
        ASSERT_GE(pointer[0], 0);
        ASSERT_LT(pointer[0], START_WINDOW_WIDTH);
        ASSERT_GT(pointer[1], 0);
        ASSERT_LT(pointer[1], START_WINDOW_HEIGHT);
        handle_pointer(pointer[0], pointer[1], 0);
        EXPECT_EQ(point_x, x);
        EXPECT_EQ(point_z, z);
        EXPECT_EQ(point_y, 17);
        EXPECT_EQ(mouse_x, pointer[0]);
        EXPECT_EQ(mouse_y, pointer[1]);
    }
}

TEST_F(PickTest, PointerOverACellAimsAtItsSurface) {
    w->add_particle(TYPE_WALL, 60, 0, 60);
    w->add_particle(TYPE_WALL, 60, 1, 60);
    display();
    const auto pointer = pointer_over(60.25, 1.5, 60.25);  // on the top face
    handle_pointer(pointer[0], pointer[1], 0);
    EXPECT_EQ(point_x, 60);
    EXPECT_EQ(point_z, 60);
    // Without the cells the same pixel shows the floor further back.
    delete w;
    w = new world();
    display();
    handle_pointer(pointer[0], pointer[1], 0);
    EXPECT_EQ(point_x, 60);
    EXPECT_LT(point_z, 58);
}

TEST_F(PickTest, RegisteredMotionCallbackPicks) {
    display();
    const auto pointer = pointer_over(20.5, 0.0, 40.5);
    pmouse(pointer[0], pointer[1]);
    EXPECT_EQ(point_x, 20);
    EXPECT_EQ(point_z, 40);
    mouse(GLUT_LEFT_BUTTON, GLUT_DOWN, pointer[0], pointer[1]);
    EXPECT_TRUE(sand_on);
    mouse(GLUT_LEFT_BUTTON, GLUT_UP, pointer[0], pointer[1]);
    EXPECT_FALSE(sand_on);
}

TEST_F(PickTest, BackgroundAimsAtTheFarPlaneClampedIntoTheBox) {
    display();
    handle_pointer(START_WINDOW_WIDTH / 2, 10, 0);  // sky above the box
    EXPECT_EQ(point_z, 0);
    EXPECT_GE(point_x, 0);
    EXPECT_LE(point_x, 99);
}

TEST_F(PickTest, TopRowIsReadInsideTheWindow) {
    polar_x = 90.0;  // straight down, close: the floor fills the window
    polar_d = 10.0;
    display();
    handle_pointer(START_WINDOW_WIDTH / 2, 1, 0);
    const int second_row_x = point_x, second_row_z = point_z;
    EXPECT_GT(second_row_z, 40);
    EXPECT_LT(second_row_z, 50);
    point_x = point_z = 0;
    handle_pointer(START_WINDOW_WIDTH / 2, 0, 0);
    EXPECT_EQ(point_x, second_row_x);
    EXPECT_EQ(point_z, second_row_z);
    // Pointers outside the window (a drag) are read at its edge.
    handle_pointer(START_WINDOW_WIDTH / 2, -40, 0);
    EXPECT_EQ(point_z, second_row_z);
    handle_pointer(-25, START_WINDOW_HEIGHT + 30, 0);
    EXPECT_GE(point_z, 50);
}

TEST_F(PickTest, FailedUnprojectionLeavesThePen) {
    display();
    point_x = 33;
    point_z = 44;
    glMatrixMode(GL_PROJECTION);
    const GLdouble singular[16] = {};
    glLoadMatrixd(singular);
    glMatrixMode(GL_MODELVIEW);
    handle_pointer(100, 100, 0);
    EXPECT_EQ(point_x, 33);
    EXPECT_EQ(point_z, 44);
    EXPECT_EQ(mouse_x, 100);

    resize(START_WINDOW_WIDTH, 0);
    handle_pointer(200, 0, 0);
    handle_pointer(200, 300, 0);
    EXPECT_EQ(point_x, 33);
    EXPECT_EQ(point_z, 44);
}

// Resizes the program's window behind GLUT's back, as another client would:
// the resize notice stays queued, so the viewport keeps the old size.
void resize_window_unnoticed(int width, int height) {
    Display* display = glXGetCurrentDisplay();
    XResizeWindow(display, glXGetCurrentDrawable(), static_cast<unsigned>(width), static_cast<unsigned>(height));
    XSync(display, False);
}

TEST_F(PickTest, PointerEventsBeforeAResizeNoticeLeaveThePen) {
    display();
    const auto pointer = pointer_over(60.5, 0.0, 30.5);
    point_x = 33;
    point_z = 44;
    // Resized, the window's buffers no longer hold the frame, and shrunk they
    // may not hold the pixel under the pointer.
    for (const auto& [width, height] : {std::array<int, 2>{200, 150}, {1, 1}, {START_WINDOW_WIDTH, 1}}) {
        resize_window_unnoticed(width, height);
        handle_pointer(pointer[0], pointer[1], 0);
        EXPECT_EQ(point_x, 33) << width << "x" << height;
        EXPECT_EQ(point_z, 44) << width << "x" << height;
    }
    // Once the notice is handled and a frame drawn, the pointer aims again.
    resize_window_unnoticed(START_WINDOW_WIDTH, START_WINDOW_HEIGHT);
    resize(START_WINDOW_WIDTH, START_WINDOW_HEIGHT);
    display();
    handle_pointer(pointer[0], pointer[1], 0);
    EXPECT_EQ(point_x, 60);
    EXPECT_EQ(point_z, 30);
}

TEST_F(FrameTest, CallbacksAskForARedisplay) {
    key('+', 0, 0);
    EXPECT_EQ(pen_size, 4);
    speckey(GLUT_KEY_F3, 0, 0);
    EXPECT_EQ(polar_y, -90.0);
    display();
    EXPECT_EQ(polar_y, 270.0);
    idle();
}

}  // namespace
