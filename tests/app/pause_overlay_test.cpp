// The frame with the current program's added controls: paused frames draw
// the world without touching it, a single step is one sweep, and the
// information overlay changes nothing of the frame but adds its text.

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "app/frame.h"
#include "app/keys.h"
#include "app/overlay.h"
#include "gl_fixture.h"
#include "gl_harness.h"
#include "render/core/cell_drawing.h"
#include "scenes.h"
#include "sim/sweep.h"

namespace {

using PauseTest = GlTest;
using OverlayTest = GlTest;

// Burning Oil beside Water, falling Sand and rising gas: every frame that
// steps changes it and draws from rand().
void build_busy_scene(world& w) {
    build_burning_oil(w);
    fill_box(w, TYPE_SAND, 20, 25, 20, 22, 20, 25);
    fill_box(w, TYPE_METHANE, 70, 74, 5, 7, 70, 74);
}

// The fountains' particles, which each frame advances.
struct fountain_state {
    fountainParticle particles[FOUNTAIN_COUNT][FOUNTAIN_PARTICLES];

    static fountain_state take() {
        fountain_state s;
        for (int i = 0; i < FOUNTAIN_COUNT; ++i) std::memcpy(s.particles[i], f[i]->particles, sizeof s.particles[i]);
        return s;
    }
    void restore() const {
        for (int i = 0; i < FOUNTAIN_COUNT; ++i) std::memcpy(f[i]->particles, particles[i], sizeof particles[i]);
    }
    bool operator==(const fountain_state& o) const { return std::memcmp(particles, o.particles, sizeof particles) == 0; }
};

TEST_F(PauseTest, PausedFramesDrawTheWorldWithoutTouchingIt) {
    build_busy_scene(*w);
    const std::unique_ptr<world> before = copy_of(*w);
    const int burning = burning_cells(*w);
    ASSERT_GT(burning, 0);
    handle_key(KEY_PAUSE);
    ASSERT_TRUE(paused);

    for (unsigned seed : {3u, 4u}) {
        const fountain_state fountains = fountain_state::take();
        std::srand(seed);
        display();
        const int after_frame = std::rand();
        EXPECT_EQ(cells_differing(*w, *before), 0);

        // The frame drew from rand() what the fountains' picks and steps draw, no more.
        const fountain_state stepped = fountain_state::take();
        fountains.restore();
        std::srand(seed);
        for (int i = 0; i < burning; ++i) std::rand();
        for (fountain* effect : f) effect->step();
        EXPECT_EQ(after_frame, std::rand()) << "seed " << seed;
        EXPECT_TRUE(stepped == fountain_state::take());
    }
}

TEST_F(PauseTest, ThePenPoursWhilePausedAndTheGrainsWait) {
    handle_key(KEY_PAUSE);
    point_x = 50;
    point_y = 30;
    point_z = 50;
    pen_size = 1;
    sand_on = true;
    display();
    sand_on = false;
    for (int frame = 0; frame < 3; ++frame) display();
    EXPECT_EQ(id_at(50, 30, 50), TYPE_SAND);
    handle_key(KEY_PAUSE);
    display();
    EXPECT_EQ(id_at(50, 29, 50), TYPE_SAND);
}

TEST_F(PauseTest, SingleStepIsOneSweepAndOnlyWhilePaused) {
    build_busy_scene(*w);
    handle_key(KEY_SINGLE_STEP);  // while running: not kept for later
    handle_key(KEY_PAUSE);
    const std::unique_ptr<world> expected = copy_of(*w);
    display();
    EXPECT_EQ(cells_differing(*w, *expected), 0);

    handle_key(KEY_SINGLE_STEP);
    std::srand(11);
    display();
    std::srand(11);
    sweep_frame(*expected, [&](const ParticleType& before, int x, int y, int z) {
        if (is_burning(before)) pick_fountain(*expected, x, y, z);
    });
    EXPECT_EQ(cells_differing(*w, *expected), 0);
    display();
    EXPECT_EQ(cells_differing(*w, *expected), 0) << "one step, not more";

    // A step asked for and then run past is not kept either.
    handle_key(KEY_SINGLE_STEP);
    handle_key(KEY_PAUSE);
    handle_key(KEY_PAUSE);
    ASSERT_TRUE(paused);
    display();
    EXPECT_EQ(cells_differing(*w, *expected), 0);
}

// What a frame sends to GL, with the world and rand() as they were.
std::vector<FeedbackPrimitive> frame_from(const world& start, const fountain_state& fountains, unsigned seed) {
    std::memcpy(w->grid, start.grid, sizeof start.grid);
    fountains.restore();
    std::srand(seed);
    return capture_feedback([] { display(); });
}

bool same_primitive(const FeedbackPrimitive& a, const FeedbackPrimitive& b) {
    if (a.token != b.token || a.vertices.size() != b.vertices.size()) return false;
    return std::memcmp(a.vertices.data(), b.vertices.data(), a.vertices.size() * sizeof a.vertices[0]) == 0;
}

TEST_F(OverlayTest, AddsItsTextAndChangesNothingElse) {
    build_busy_scene(*w);
    const std::unique_ptr<world> start = copy_of(*w);
    const fountain_state fountains = fountain_state::take();

    const auto plain = frame_from(*start, fountains, 21);
    const int plain_rand = std::rand();
    const std::unique_ptr<world> plain_world = copy_of(*w);
    handle_special_key(GLUT_KEY_F12);
    ASSERT_TRUE(overlay_on);
    const auto with_overlay = frame_from(*start, fountains, 21);
    EXPECT_EQ(plain_rand, std::rand());
    EXPECT_EQ(cells_differing(*w, *plain_world), 0);

    // The same primitives, then only the overlay's characters.
    ASSERT_GT(with_overlay.size(), plain.size());
    for (std::size_t i = 0; i < plain.size(); ++i) ASSERT_TRUE(same_primitive(plain[i], with_overlay[i])) << i;
    for (std::size_t i = plain.size(); i < with_overlay.size(); ++i)
        EXPECT_EQ(with_overlay[i].token, static_cast<GLenum>(GL_BITMAP_TOKEN));

    handle_special_key(GLUT_KEY_F12);
    EXPECT_EQ(frame_from(*start, fountains, 21).size(), plain.size());
}

TEST_F(OverlayTest, CountsTheLiveCellsOfEachMaterial) {
    fill_box(*w, TYPE_WALL, 10, 20, 0, 2, 10, 20);
    fill_box(*w, TYPE_GLASS, 30, 33, 0, 1, 30, 33);
    handle_special_key(GLUT_KEY_F12);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (overlay_latest() == nullptr && std::chrono::steady_clock::now() < deadline) display();
    const overlay_figures* figures = overlay_latest();
    ASSERT_NE(figures, nullptr);
    EXPECT_EQ(figures->live_cells[TYPE_WALL], 200);
    EXPECT_EQ(figures->live_cells[TYPE_GLASS], 9);
    EXPECT_EQ(figures->live_cells[TYPE_SAND], 0);
    EXPECT_GT(figures->frames_per_second, 0.0);
    EXPECT_GT(figures->sweep_ms, 0.0);
    EXPECT_GT(figures->drawing_ms, 0.0);
    const std::vector<std::string> lines = overlay_lines(figures);
    EXPECT_NE(std::find(lines.begin(), lines.end(), "Wall 200"), lines.end());
    EXPECT_NE(std::find(lines.begin(), lines.end(), "live cells 209"), lines.end());
    handle_special_key(GLUT_KEY_F12);
}

}  // namespace
