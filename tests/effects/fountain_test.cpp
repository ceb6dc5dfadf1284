// The fountain: particle motion and its random draws, and what its drawing
// leaves on screen and in the GL state. Needs the GL context of gl_test_main.

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <utility>
#include <vector>

#include "bitmap_files.h"
#include "effects/fountain.h"
#include "gl_window.h"

namespace {

constexpr unsigned SEED = 4242;
constexpr int REFERENCE_DRAWS = 256;
constexpr float VIEW_HALF_SIDE = 8.0f;  // ortho view: 4 pixels per cell unit
constexpr int PIXELS_PER_UNIT = 4;

std::vector<int> rand_sequence(unsigned seed, int count) {
    std::srand(seed);
    std::vector<int> values(static_cast<std::size_t>(count));
    for (int& value : values) value = std::rand();
    return values;
}

// How many times `action` called rand(), found from where the sequence resumes.
template <class Action>
int rand_draws_of(unsigned seed, Action&& action) {
    const std::vector<int> reference = rand_sequence(seed, REFERENCE_DRAWS);
    std::srand(seed);
    action();
    const int next = std::rand();
    for (int i = 0; i < REFERENCE_DRAWS; ++i)
        if (reference[static_cast<std::size_t>(i)] == next) return i;
    return -1;
}

// Makes the working directory `dir` until the object goes.
class workingDirectory {
public:
    explicit workingDirectory(const std::filesystem::path& dir) : saved_(std::filesystem::current_path()) {
        std::filesystem::current_path(dir);
    }
    ~workingDirectory() { std::filesystem::current_path(saved_); }

private:
    std::filesystem::path saved_;
};

std::unique_ptr<fountain> fountain_in(const scratchDir& dir) {
    workingDirectory here(dir.path());
    return std::make_unique<fountain>();
}

std::unique_ptr<fountain> fountain_with_image(const std::vector<unsigned char>& bitmap) {
    scratchDir dir;
    dir.write("particle.bmp", bitmap);
    return fountain_in(dir);
}

void keep_only_first_particle(fountain& f) {
    for (int i = 1; i < FOUNTAIN_PARTICLES; ++i) f.particles[i].alive = false;
}

using pixels = std::vector<unsigned char>;

pixels read_screen() {
    pixels screen(static_cast<std::size_t>(TEST_WINDOW_SIDE * TEST_WINDOW_SIDE * 3));
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadBuffer(GL_BACK);
    glReadPixels(0, 0, TEST_WINDOW_SIDE, TEST_WINDOW_SIDE, GL_RGB, GL_UNSIGNED_BYTE, screen.data());
    return screen;
}

const unsigned char* pixel_at(const pixels& screen, int x, int y) {
    return &screen[static_cast<std::size_t>((y * TEST_WINDOW_SIDE + x) * 3)];
}

int lit_pixels(const pixels& screen) {
    int lit = 0;
    for (int y = 0; y < TEST_WINDOW_SIDE; ++y)
        for (int x = 0; x < TEST_WINDOW_SIDE; ++x) {
            const unsigned char* p = pixel_at(screen, x, y);
            if (p[0] != 0 || p[1] != 0 || p[2] != 0) ++lit;
        }
    return lit;
}

class FountainTest : public ::testing::Test {
protected:
    void SetUp() override {
        glViewport(0, 0, TEST_WINDOW_SIDE, TEST_WINDOW_SIDE);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glOrtho(-VIEW_HALF_SIDE, VIEW_HALF_SIDE, -VIEW_HALF_SIDE, VIEW_HALF_SIDE, -100.0, 100.0);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
        glDisable(GL_LIGHTING);
        glDisable(GL_CULL_FACE);
        glDisable(GL_ALPHA_TEST);
        glEnable(GL_BLEND);
        glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    }

    pixels draw_frame(fountain& f, int x = 0, int y = 0, int z = 0) {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        f.draw(x, y, z);
        return read_screen();
    }

    scratchDir empty_dir_;  // no particle.bmp: untextured fountains
};

TEST_F(FountainTest, ConstructionSpawnsAllParticlesAtTheOriginDrawingRandHundredTimes) {
    const std::vector<int> r = rand_sequence(SEED, REFERENCE_DRAWS);
    std::unique_ptr<fountain> f;
    EXPECT_EQ(rand_draws_of(SEED, [&] { f = fountain_in(empty_dir_); }), 4 * FOUNTAIN_PARTICLES);

    for (int i = 0; i < FOUNTAIN_PARTICLES; ++i) {
        SCOPED_TRACE(i);
        const fountainParticle& p = f->particles[i];
        const std::size_t first = static_cast<std::size_t>(4 * i);
        EXPECT_TRUE(p.alive);
        EXPECT_EQ(p.life, 1.0f);
        EXPECT_EQ(p.pos_x, 0.0f);
        EXPECT_EQ(p.pos_y, 0.0f);
        EXPECT_EQ(p.pos_z, 0.0f);
        EXPECT_EQ(p.red, 1.0f);
        EXPECT_EQ(p.green, 0.3f);
        EXPECT_EQ(p.blue, 0.0f);
        EXPECT_EQ(p.acc_x, 0.0f);
        EXPECT_EQ(p.acc_y, 1.0f);
        EXPECT_EQ(p.acc_z, 0.0f);
        // Draw order: decay, then velocity x, y, z.
        EXPECT_FLOAT_EQ(p.decay, static_cast<float>(r[first] % 100) / 1000.0f + 0.3f);
        EXPECT_EQ(p.vel_x, static_cast<float>((r[first + 1] % 50 - 26) * 10));
        EXPECT_EQ(p.vel_y, static_cast<float>((r[first + 2] % 50 - 25) * 10));
        EXPECT_EQ(p.vel_z, static_cast<float>((r[first + 3] % 50 - 25) * 10));
        EXPECT_GE(p.decay, 0.3f);
        EXPECT_LE(p.decay, 0.3991f);
        EXPECT_GE(p.vel_x, -260.0f);
        EXPECT_LE(p.vel_x, 230.0f);
    }
}

TEST_F(FountainTest, StepMovesByTheOldVelocityThenAccelerates) {
    std::unique_ptr<fountain> f = fountain_in(empty_dir_);
    f->particles[3].vel_x = 250.0f;
    f->particles[3].vel_y = -120.0f;
    f->particles[3].vel_z = 7.0f;
    f->particles[3].acc_x = 2.0f;  // only the first step is checked, so any acceleration works
    const fountain before = *f;

    EXPECT_EQ(rand_draws_of(SEED, [&] { f->step(); }), 0);  // no first-generation particle dies at once
    for (int i = 0; i < FOUNTAIN_PARTICLES; ++i) {
        SCOPED_TRACE(i);
        const fountainParticle& was = before.particles[i];
        const fountainParticle& p = f->particles[i];
        EXPECT_EQ(p.pos_x, was.vel_x / 1000.0f);
        EXPECT_EQ(p.pos_y, was.vel_y / 1000.0f);
        EXPECT_EQ(p.pos_z, was.vel_z / 1000.0f);
        EXPECT_EQ(p.vel_x, was.vel_x + was.acc_x);
        EXPECT_EQ(p.vel_y, was.vel_y + 1.0f);
        EXPECT_EQ(p.vel_z, was.vel_z);
        EXPECT_EQ(p.life, 1.0f - was.decay);
    }
    EXPECT_NEAR(f->particles[3].pos_x, 0.25f, 1e-6);
}

TEST_F(FountainTest, ParticlesRespawnOnlyOnceLifeFallsBelowZero) {
    std::unique_ptr<fountain> f = fountain_in(empty_dir_);
    keep_only_first_particle(*f);
    fountainParticle& p = f->particles[0];
    struct { float decay; int respawn_step; } cases[] = {{0.3f, 4}, {0.399f, 3}, {0.5f, 3}, {1.5f, 1}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.decay);
        p.life = 1.0f;
        p.decay = c.decay;
        int steps = 0;
        do {
            f->step();
            ++steps;
        } while (p.life != 1.0f && steps < 10);
        EXPECT_EQ(steps, c.respawn_step);
    }

    // Exactly zero stays: no respawn and no draw of rand().
    p.life = 0.25f;
    p.decay = 0.25f;
    EXPECT_EQ(rand_draws_of(SEED, [&] { f->step(); }), 0);
    EXPECT_EQ(p.life, 0.0f);
    f->step();
    EXPECT_EQ(p.life, 1.0f);
}

TEST_F(FountainTest, RespawnRestartsAtTheOriginWithSevenDraws) {
    std::unique_ptr<fountain> f = fountain_in(empty_dir_);
    keep_only_first_particle(*f);
    fountainParticle& p = f->particles[0];
    for (unsigned seed = 1; seed <= 60; ++seed) {
        SCOPED_TRACE(seed);
        p.life = 0.01f;
        p.decay = 0.5f;
        p.pos_x = 3.0f;
        p.pos_y = -2.0f;
        p.pos_z = 5.0f;
        const std::vector<int> r = rand_sequence(seed, 7);
        ASSERT_EQ(rand_draws_of(seed, [&] { f->step(); }), 7);
        EXPECT_EQ(p.life, 1.0f);
        EXPECT_EQ(p.pos_x, 0.0f);
        EXPECT_EQ(p.pos_y, 0.0f);
        EXPECT_EQ(p.pos_z, 0.0f);
        // Draw order: decay, three positions, then velocity x, y, z.
        EXPECT_FLOAT_EQ(p.decay, static_cast<float>(r[0] % 100) / 2000.0f + 0.008f);
        EXPECT_EQ(p.vel_x, static_cast<float>(r[4] % 40 - 20));
        EXPECT_EQ(p.vel_y, static_cast<float>(r[5] % 60 - 20));
        EXPECT_EQ(p.vel_z, static_cast<float>(r[6] % 40 - 20));
        EXPECT_GE(p.decay, 0.008f);
        EXPECT_LE(p.decay, 0.0576f);
        EXPECT_GE(p.vel_y, -20.0f);
        EXPECT_LE(p.vel_y, 39.0f);
        EXPECT_EQ(p.red, 1.0f);
        EXPECT_EQ(p.acc_y, 1.0f);
    }
}

TEST_F(FountainTest, DeadParticlesAreNeitherSteppedNorDrawn) {
    std::unique_ptr<fountain> f = fountain_in(empty_dir_);
    for (fountainParticle& p : f->particles) {
        p.alive = false;
        p.life = 0.01f;
        p.decay = 0.5f;
    }
    EXPECT_EQ(rand_draws_of(SEED, [&] { f->step(); }), 0);
    EXPECT_EQ(f->particles[7].life, 0.01f);
    EXPECT_EQ(f->particles[7].pos_y, 0.0f);
    EXPECT_EQ(lit_pixels(draw_frame(*f)), 0);
}

TEST_F(FountainTest, DrawLeavesDepthTestBlendingTexturingAndMatrixAsTheFrameExpects) {
    std::unique_ptr<fountain> f = fountain_in(empty_dir_);
    for (bool start_enabled : {false, true}) {
        SCOPED_TRACE(start_enabled);
        const auto set = [](GLenum cap, bool on) { on ? glEnable(cap) : glDisable(cap); };
        set(GL_DEPTH_TEST, start_enabled);
        set(GL_BLEND, start_enabled);
        set(GL_TEXTURE_2D, start_enabled);
        glBlendFunc(GL_ONE, GL_ZERO);
        glLoadIdentity();
        glTranslatef(1.0f, 2.0f, -3.0f);
        glRotatef(35.0f, 0.3f, 1.0f, 0.2f);
        glScalef(1.0f, 2.0f, 0.5f);
        GLfloat before[16];
        GLfloat after[16];
        GLint depth_before = 0;
        GLint depth_after = 0;
        glGetFloatv(GL_MODELVIEW_MATRIX, before);
        glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depth_before);

        f->draw(5, 6, 7);

        glGetFloatv(GL_MODELVIEW_MATRIX, after);
        glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depth_after);
        for (int i = 0; i < 16; ++i) EXPECT_EQ(after[i], before[i]) << "element " << i;
        EXPECT_EQ(depth_after, depth_before);
        EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
        EXPECT_TRUE(glIsEnabled(GL_BLEND));
        EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
        GLint source = 0;
        GLint destination = 0;
        glGetIntegerv(GL_BLEND_SRC, &source);
        glGetIntegerv(GL_BLEND_DST, &destination);
        EXPECT_EQ(source, GL_SRC_ALPHA);
        EXPECT_EQ(destination, GL_ONE_MINUS_SRC_ALPHA);
        EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    }
}

TEST_F(FountainTest, PictureDependsNeitherOnTheCellNorOnTheCameraRotation) {
    std::unique_ptr<fountain> f = fountain_in(empty_dir_);
    keep_only_first_particle(*f);
    f->particles[0].pos_x = 2.0f;
    f->particles[0].pos_y = 3.0f;
    const pixels reference = draw_frame(*f);
    ASSERT_GT(lit_pixels(reference), 0);
    EXPECT_EQ(draw_frame(*f, 50, 20, 70), reference);
    EXPECT_EQ(draw_frame(*f, -3, 99, 1), reference);

    // Orbiting the model leaves the square where the eye's axes put it.
    for (float angle : {30.0f, 90.0f, 200.0f}) {
        SCOPED_TRACE(angle);
        glLoadIdentity();
        glRotatef(angle, 0.0f, 1.0f, 0.0f);
        glRotatef(angle / 3.0f, 1.0f, 0.0f, 0.0f);
        EXPECT_EQ(draw_frame(*f), reference);
    }
    // And up on screen is up: (2, 3) lands right of and above the centre.
    const int centre = TEST_WINDOW_SIDE / 2;
    const unsigned char* at_particle =
        pixel_at(reference, centre + 2 * PIXELS_PER_UNIT, centre + 3 * PIXELS_PER_UNIT);
    const unsigned char* mirrored =
        pixel_at(reference, centre - 2 * PIXELS_PER_UNIT, centre - 3 * PIXELS_PER_UNIT);
    EXPECT_GT(at_particle[0], 200);
    EXPECT_EQ(mirrored[0], 0);
}

TEST_F(FountainTest, WithoutTheImageParticlesAreOrangeThreeByThreeSquares) {
    std::unique_ptr<fountain> f = fountain_in(empty_dir_);
    EXPECT_EQ(f->texture, 0u);
    keep_only_first_particle(*f);
    const pixels screen = draw_frame(*f);
    const unsigned char* centre = pixel_at(screen, TEST_WINDOW_SIDE / 2, TEST_WINDOW_SIDE / 2);
    EXPECT_EQ(centre[0], 255);
    EXPECT_NEAR(centre[1], 0.3 * 255, 2.0);
    EXPECT_EQ(centre[2], 0);
    const int side = 3 * PIXELS_PER_UNIT;
    EXPECT_EQ(lit_pixels(screen), side * side);

    // Life is the alpha: half life, half the light under additive blending.
    f->particles[0].life = 0.5f;
    const pixels dimmer = draw_frame(*f);
    EXPECT_NEAR(pixel_at(dimmer, TEST_WINDOW_SIDE / 2, TEST_WINDOW_SIDE / 2)[0], 128, 2);
}

TEST_F(FountainTest, ParticleImageBecomesTheFountainsTexture) {
    scratchDir dir;
    std::filesystem::copy_file(PARTICLE_BMP_PATH, dir.path() / "particle.bmp");
    glPixelStorei(GL_UNPACK_ALIGNMENT, 2);  // whatever it was stays
    std::unique_ptr<fountain> f = fountain_in(dir);
    std::unique_ptr<fountain> other = fountain_in(dir);
    GLint alignment = 0;
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
    EXPECT_EQ(alignment, 2);

    ASSERT_NE(f->texture, 0u);
    EXPECT_NE(other->texture, f->texture);  // each fountain makes its own
    EXPECT_TRUE(glIsTexture(f->texture));
    glBindTexture(GL_TEXTURE_2D, f->texture);
    GLint width = 0;
    GLint height = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &height);
    EXPECT_EQ(width, 32);
    EXPECT_EQ(height, 32);

    // The glow is bright in the middle of the square and dark at its rim.
    keep_only_first_particle(*f);
    const pixels screen = draw_frame(*f);
    const int centre = TEST_WINDOW_SIDE / 2;
    const int near_rim = centre + 3 * PIXELS_PER_UNIT / 2 - 1;
    EXPECT_GT(pixel_at(screen, centre, centre)[0], 200);
    EXPECT_LT(pixel_at(screen, near_rim, near_rim)[0], 40);
}

TEST_F(FountainTest, ImageIsDrawnUprightAcrossTheSquare) {
    // A 4 x 4 image, white in its lower-left quarter, grey in its upper-right
    // one, black elsewhere (rows bottom first).
    const int side = 4;
    bitmapLayout layout;
    layout.width = side;
    layout.height = side;
    std::vector<unsigned char> bytes = make_bitmap(layout);
    const std::size_t pixel_start = bytes.size() - static_cast<std::size_t>(side * side * 3);
    for (int row = 0; row < side; ++row)
        for (int x = 0; x < side; ++x) {
            const bool low = row < side / 2;
            const bool left = x < side / 2;
            const unsigned char level = (low && left) ? 255 : (!low && !left) ? 128 : 0;
            for (int c = 0; c < 3; ++c) bytes[pixel_start + static_cast<std::size_t>((row * side + x) * 3 + c)] = level;
        }
    std::unique_ptr<fountain> f = fountain_with_image(bytes);
    ASSERT_NE(f->texture, 0u);
    keep_only_first_particle(*f);
    const pixels screen = draw_frame(*f);

    const int centre = TEST_WINDOW_SIDE / 2;
    const int quarter = 3 * PIXELS_PER_UNIT / 4;  // from the centre to a quarter's middle
    EXPECT_GT(pixel_at(screen, centre - quarter, centre - quarter)[0], 200);
    EXPECT_LT(pixel_at(screen, centre + quarter, centre - quarter)[0], 30);
    EXPECT_LT(pixel_at(screen, centre - quarter, centre + quarter)[0], 30);
    EXPECT_NEAR(pixel_at(screen, centre + quarter, centre + quarter)[0], 128, 20);
}

// Reads the texture's texels back as packed RGB rows.
std::vector<unsigned char> texels_of(GLuint texture, int width, int height) {
    std::vector<unsigned char> texels(static_cast<std::size_t>(width * height * 3));
    glBindTexture(GL_TEXTURE_2D, texture);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGB, GL_UNSIGNED_BYTE, texels.data());
    return texels;
}

TEST_F(FountainTest, TextureHoldsTheImageBottomRowFirst) {
    bitmapLayout layout;
    layout.width = 4;
    layout.height = 3;
    std::unique_ptr<fountain> f = fountain_with_image(make_bitmap(layout));
    ASSERT_NE(f->texture, 0u);
    EXPECT_EQ(texels_of(f->texture, 4, 3), rgb_in_file_row_order(4, 3));
}

TEST_F(FountainTest, ImagesWhoseRowsNeedFillerLoadOnlyThroughTheEarlyStageLoader) {
    bitmapLayout layout;
    layout.width = 5;
    layout.height = 3;
    std::unique_ptr<fountain> f = fountain_with_image(make_bitmap(layout));
#if GRAINVOX_EARLY_STAGE
    ASSERT_NE(f->texture, 0u);
    EXPECT_EQ(texels_of(f->texture, 5, 3), rgb_in_file_row_order(5, 3));
#else
    EXPECT_EQ(f->texture, 0u);
#endif
}

// The one-primitive drawing must be a drop-in for draw(): the same pixels to
// the bit, lit or not, textured or not, and the same state left behind.
TEST_F(FountainTest, OnePrimitiveDrawingMatchesDrawPixelForPixel) {
    scratchDir textured_dir;
    std::filesystem::copy_file(PARTICLE_BMP_PATH, textured_dir.path() / "particle.bmp");
    std::unique_ptr<fountain> plain = fountain_in(empty_dir_);
    std::unique_ptr<fountain> textured = fountain_in(textured_dir);
    ASSERT_NE(textured->texture, 0u);

    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glFrustum(-1.0, 1.0, -1.0, 1.0, 1.0, 100.0);
    glMatrixMode(GL_MODELVIEW);
    glEnable(GL_LIGHTING);
    glEnable(GL_LIGHT0);
    glEnable(GL_COLOR_MATERIAL);
    glEnable(GL_NORMALIZE);
    glEnable(GL_CULL_FACE);
    glEnable(GL_ALPHA_TEST);
    glAlphaFunc(GL_GREATER, 0.1f);
    glNormal3f(0.3f, -0.5f, 0.8f);

    for (fountain* f : {plain.get(), textured.get()}) {
        // Spread and fading particles, a dead one among them, after some steps.
        for (int step = 0; step < 7; ++step) f->step();
        f->particles[3].alive = false;
        for (float angle : {0.0f, 40.0f, 215.0f}) {
            SCOPED_TRACE(angle);
            const auto draw_with = [&](void (fountain::*draw)(int, int, int)) {
                glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
                glLoadIdentity();
                glTranslatef(0.0f, 0.0f, -12.0f);
                glRotatef(angle, 1.0f, 0.0f, 0.0f);
                glRotatef(angle * 0.7f, 0.0f, 1.0f, 0.0f);
                glTranslatef(1.5f, -2.0f, 0.5f);
                (f->*draw)(1, 2, 3);
                GLfloat colour[4];
                glGetFloatv(GL_CURRENT_COLOR, colour);
                return std::make_pair(read_screen(), std::vector<GLfloat>(colour, colour + 4));
            };
            const auto reference = draw_with(&fountain::draw);
            const auto batched = draw_with(&fountain::draw_in_one_primitive);
            ASSERT_GT(lit_pixels(reference.first), 0);
            EXPECT_TRUE(reference.first == batched.first);
            EXPECT_EQ(reference.second, batched.second);
            EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
            EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
            GLint destination = 0;
            glGetIntegerv(GL_BLEND_DST, &destination);
            EXPECT_EQ(destination, GL_ONE_MINUS_SRC_ALPHA);
        }
    }
    glDisable(GL_LIGHT0);
    glDisable(GL_COLOR_MATERIAL);
    glDisable(GL_NORMALIZE);
}

}  // namespace
