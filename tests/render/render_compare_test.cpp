// The batched drawing against the cell-by-cell drawing: from two worlds built
// alike and the same rand() state, both must leave the same worlds, the same
// rand() state, the same GL state and the same picture.

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <vector>

#include "app/app_state.h"
#include "app/gl.h"
#include "render/core/cell_drawing.h"
#include "render/fixed_function/fast_renderer.h"
#include "render_window.h"
#include "scenes.h"

namespace {

constexpr int CHANNEL_TOLERANCE = 3;           // out of 255
constexpr double MAX_DIFFERING_SHARE = 0.001;  // of the window's pixels
constexpr double MIN_COVERED_SHARE = 0.01;     // a scene must show something

struct camera {
    double elevation, azimuth, distance;
};

struct frame_state {
    std::vector<unsigned char> pixels;
    GLfloat normal[4];
    GLfloat colour[4];
    GLdouble modelview[16];
    GLboolean depth_test, blend, texture, vertex_array, colour_array, normal_array;
    GLint blend_source, blend_destination;
    int next_rand;
};

void place_camera(const camera& eye) {
    glLoadIdentity();
    glTranslated(0.0, 0.0, -eye.distance);
    glRotated(eye.elevation, 1.0, 0.0, 0.0);
    glRotated(eye.azimuth, 0.0, 1.0, 0.0);
    glTranslated(-GRID_X / 2, 0.0, -GRID_Z / 2);
}

void draw_floor() {
    glColor4f(0.5f, 0.5f, 0.5f, 1.0f);
    glBegin(GL_QUADS);
    glVertex3d(-0.5, 0.0, -0.5);
    glVertex3d(-0.5, 0.0, GRID_Z - 0.5);
    glVertex3d(GRID_X - 0.5, 0.0, GRID_Z - 0.5);
    glVertex3d(GRID_X - 0.5, 0.0, -0.5);
    glEnd();
}

// One frame as the program draws it, with the given cell drawing; then what
// it leaves behind. rand() is seeded before the frame and read after it.
template <class DrawCells>
frame_state draw_frame(const camera& eye, unsigned seed, DrawCells&& draw_cells) {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    place_camera(eye);
    glNormal3f(0.0f, 0.0f, 1.0f);
    draw_floor();
    std::srand(seed);
    draw_cells();

    frame_state state;
    state.next_rand = std::rand();
    glGetFloatv(GL_CURRENT_NORMAL, state.normal);
    state.normal[3] = 0.0f;
    glGetFloatv(GL_CURRENT_COLOR, state.colour);
    glGetDoublev(GL_MODELVIEW_MATRIX, state.modelview);
    state.depth_test = glIsEnabled(GL_DEPTH_TEST);
    state.blend = glIsEnabled(GL_BLEND);
    state.texture = glIsEnabled(GL_TEXTURE_2D);
    state.vertex_array = glIsEnabled(GL_VERTEX_ARRAY);
    state.colour_array = glIsEnabled(GL_COLOR_ARRAY);
    state.normal_array = glIsEnabled(GL_NORMAL_ARRAY);
    glGetIntegerv(GL_BLEND_SRC, &state.blend_source);
    glGetIntegerv(GL_BLEND_DST, &state.blend_destination);

    state.pixels = read_back_pixels();
    return state;
}

void expect_same_cells(const world& a, const world& b) {
    EXPECT_EQ(cells_differing(a, b), 0) << "cells that differ after the frame";
}

int covered_pixels(const std::vector<unsigned char>& pixels) {
    int covered = 0;
    for (std::size_t i = 0; i < pixels.size(); i += 3)
        if (pixels[i] != 0 || pixels[i + 1] != 0 || pixels[i + 2] != 0) ++covered;
    return covered;
}

void expect_same_picture(const frame_state& reference, const frame_state& fast) {
    const int pixel_count = RENDER_WIDTH * RENDER_HEIGHT;
    int differing = 0, worst = 0;
    for (int i = 0; i < pixel_count; ++i) {
        int difference = 0;
        for (int c = 0; c < 3; ++c)
            difference = std::max(difference, std::abs(reference.pixels[i * 3 + c] - fast.pixels[i * 3 + c]));
        worst = std::max(worst, difference);
        if (difference > CHANNEL_TOLERANCE) ++differing;
    }
    EXPECT_LE(differing, MAX_DIFFERING_SHARE * pixel_count) << "pixels that differ; largest difference " << worst;
    EXPECT_GE(covered_pixels(reference.pixels), MIN_COVERED_SHARE * pixel_count) << "the scene shows too little";
}

void expect_same_gl_state(const frame_state& reference, const frame_state& fast) {
    EXPECT_EQ(reference.next_rand, fast.next_rand) << "rand() was drawn differently";
    for (int i = 0; i < 3; ++i) EXPECT_FLOAT_EQ(reference.normal[i], fast.normal[i]) << "current normal " << i;
    for (int i = 0; i < 4; ++i) EXPECT_FLOAT_EQ(reference.colour[i], fast.colour[i]) << "current colour " << i;
    for (int i = 0; i < 16; ++i) EXPECT_DOUBLE_EQ(reference.modelview[i], fast.modelview[i]) << "model-view " << i;
    EXPECT_EQ(reference.depth_test, fast.depth_test);
    EXPECT_EQ(reference.blend, fast.blend);
    EXPECT_EQ(reference.texture, fast.texture);
    EXPECT_EQ(reference.blend_source, fast.blend_source);
    EXPECT_EQ(reference.blend_destination, fast.blend_destination);
    EXPECT_FALSE(fast.vertex_array);
    EXPECT_FALSE(fast.colour_array);
    EXPECT_FALSE(fast.normal_array);
}

enum class motion { stepped, still };

// Draws `frames` frames of the scene both ways and compares each. Still
// frames must also leave the world as it was, drawing one rand() per burning cell.
void compare_frames(void (*build)(world&), const camera& eye, int style, int frames, fast_renderer& renderer,
                    motion how = motion::stepped) {
    std::unique_ptr<world> plain(new world());
    std::unique_ptr<world> batched(new world());
    std::unique_ptr<world> built(new world());
    build(*plain);
    build(*batched);
    build(*built);
    for (int frame = 0; frame < frames; ++frame) {
        SCOPED_TRACE(testing::Message() << "frame " << frame);
        const unsigned seed = 1234u + static_cast<unsigned>(frame);
        const frame_state reference = draw_frame(eye, seed, [&] {
            if (how == motion::still)
                draw_still_reference(*plain, style, f);
            else
                draw_sweep_reference(*plain, style, f);
        });
        const frame_state fast = draw_frame(eye, seed, [&] {
            if (how == motion::still)
                renderer.draw_still(*batched, style, f);
            else
                renderer.draw(*batched, style, f);
        });
        expect_same_cells(*plain, *batched);
        expect_same_picture(reference, fast);
        expect_same_gl_state(reference, fast);
        if (how == motion::still) {
            expect_same_cells(*plain, *built);
            std::srand(seed);
            for (int burning = burning_cells(*built); burning > 0; --burning) std::rand();
            EXPECT_EQ(fast.next_rand, std::rand()) << "a still frame draws one rand() per burning cell";
        }
    }
}

void compare_frames(void (*build)(world&), const camera& eye, int style, int frames,
                    motion how = motion::stepped) {
    fast_renderer renderer;
    compare_frames(build, eye, style, frames, renderer, how);
}

constexpr int CUBES = 0;
constexpr camera FRONT_VIEW{20.0, 0.0, 100.0};

}  // namespace

TEST(BatchedDrawing, SandHeapAsCubes) {
    compare_frames(build_sand_heap, {20.0, 0.0, 60.0}, CUBES, 3);
    compare_frames(build_sand_heap, {35.0, 225.0, 45.0}, CUBES, 2);
}

TEST(BatchedDrawing, TranslucentWaterUnderOil) {
    compare_frames(build_water_under_oil, {35.0, 30.0, 70.0}, CUBES, 3);
    compare_frames(build_water_under_oil, {15.0, 150.0, 55.0}, CUBES, 2);
}

TEST(BatchedDrawing, OpaqueAndSeeThroughInterleaved) {
    compare_frames(build_wall_and_glass, {30.0, 300.0, 50.0}, CUBES, 1);
    compare_frames(build_wall_and_glass, {30.0, 120.0, 50.0}, CUBES, 1);
    compare_frames(build_wall_and_glass, {60.0, 210.0, 45.0}, CUBES, 1);
}

TEST(BatchedDrawing, GasCloud) {
    compare_frames(build_gas_cloud, {20.0, 320.0, 60.0}, CUBES, 3);
}

TEST(BatchedDrawing, BurningOilWithFountains) {
    compare_frames(build_burning_oil, {30.0, 60.0, 60.0}, CUBES, 4);
}

TEST(BatchedDrawing, SpheresStyle) {
    compare_frames(build_sand_heap, {25.0, 15.0, 50.0}, GRAPHICS_SPHERES, 2);
    compare_frames(build_water_under_oil, {40.0, 100.0, 60.0}, GRAPHICS_SPHERES, 2);
    compare_frames(build_burning_oil, {30.0, 60.0, 60.0}, GRAPHICS_SPHERES, 2);
}

TEST(BatchedDrawing, CameraAboveAndBelowTheFloor) {
    compare_frames(build_water_under_oil, {88.0, 10.0, 80.0}, CUBES, 2);
    compare_frames(build_water_under_oil, {340.0, 20.0, 70.0}, CUBES, 2);
    compare_frames(build_sand_heap, {300.0, 200.0, 60.0}, CUBES, 2);
}

TEST(BatchedDrawing, CameraInsideAFilledBlock) {
    // The eye sits among the cells: faces near it are clipped by the near plane.
    compare_frames(build_filled_block, {10.0, 0.0, 10.0}, CUBES, 2);
    compare_frames(build_filled_block, {40.0, 45.0, 12.0}, CUBES, 2);
    compare_frames(build_filled_block, {58.0, 180.0, 16.0}, CUBES, 1);  // among the Water, facing +z
    compare_frames(build_filled_block, FRONT_VIEW, CUBES, 1);
}

TEST(BatchedDrawing, StillFramesDrawTheWorldAsItStands) {
    compare_frames(build_burning_oil, {30.0, 60.0, 60.0}, CUBES, 2, motion::still);
    compare_frames(build_water_under_oil, {35.0, 30.0, 70.0}, CUBES, 1, motion::still);
    compare_frames(build_burning_oil, {30.0, 60.0, 60.0}, GRAPHICS_SPHERES, 1, motion::still);
    compare_frames(build_filled_block, {40.0, 45.0, 12.0}, CUBES, 1, motion::still);
}

TEST(BatchedDrawing, SameAfterWaitingForGlEveryFewTriangles) {
    // GL's queue bounded every 64 triangles, with one or several bounds in flight.
    for (int bounds = 1; bounds <= gl_queue_limit::MAX_BOUNDS; bounds += 3) {
        SCOPED_TRACE(testing::Message() << bounds << " bounds in flight");
        fast_renderer renderer(64, bounds);
        compare_frames(build_water_under_oil, {35.0, 30.0, 70.0}, CUBES, 2, renderer);
        compare_frames(build_burning_oil, {30.0, 60.0, 60.0}, GRAPHICS_SPHERES, 2, renderer);
        // More bounds than stay in flight, so that the oldest is waited for.
        EXPECT_GT(renderer.queue_bounds_reached(), gl_queue_limit::MAX_BOUNDS);
    }
}

TEST(QueuedGlWork, BoundedEveryLimitTriangles) {
    gl_queue_limit limit(100, 2);
    limit.submitted(99);
    EXPECT_EQ(limit.bounds_reached(), 0);
    limit.submitted(1);
    EXPECT_EQ(limit.bounds_reached(), 1);
    limit.submitted(50);
    EXPECT_EQ(limit.bounds_reached(), 1);
    limit.submitted(250);  // one bound, however far past the limit
    EXPECT_EQ(limit.bounds_reached(), 2);
    for (int i = 0; i < 10; ++i) limit.submitted(100);  // more bounds than stay in flight
    EXPECT_EQ(limit.bounds_reached(), 12);
    glFinish();
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST(QueuedGlWork, BoundsInFlightTakenWithinRange) {
    // Outside the range, the fences in flight would be kept past their array.
    for (int bounds : {-3, 0, gl_queue_limit::MAX_BOUNDS + 1, 99}) {
        gl_queue_limit limit(1, bounds);
        for (int i = 0; i < 2 * gl_queue_limit::MAX_BOUNDS + 2; ++i) limit.submitted(1);
        EXPECT_EQ(limit.bounds_reached(), 2 * gl_queue_limit::MAX_BOUNDS + 2);
    }
    glFinish();
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}
