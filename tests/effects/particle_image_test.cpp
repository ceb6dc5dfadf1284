// The particle texture that the build draws: a round glow that fades to black.

#include <gtest/gtest.h>

#include <cstdlib>

#include "effects/bmp.h"

namespace {

constexpr int SIDE = 32;

struct rgb {
    int r, g, b;
};

class ParticleImage : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(loadBMP(PARTICLE_BMP_PATH, &image_), 1); }
    void TearDown() override { std::free(image_.data); }

    rgb at(int x, int y) const {
        const unsigned char* p = image_.data + (y * image_.width + x) * 3;
        return {p[0], p[1], p[2]};
    }

    textureImage image_{0, 0, nullptr};
};

TEST_F(ParticleImage, IsAPowerOfTwoSquare) {
    EXPECT_EQ(image_.width, SIDE);
    EXPECT_EQ(image_.height, SIDE);
}

TEST_F(ParticleImage, GlowsWarmlyFromAWhiteCentreToABlackRim) {
    const rgb centre = at(SIDE / 2, SIDE / 2);
    EXPECT_GT(centre.r, 230);
    EXPECT_GT(centre.g, 200);
    EXPECT_GT(centre.b, 150);
    for (int corner_x : {0, SIDE - 1})
        for (int corner_y : {0, SIDE - 1}) {
            const rgb corner = at(corner_x, corner_y);
            EXPECT_EQ(corner.r + corner.g + corner.b, 0);
        }
    EXPECT_EQ(at(0, SIDE / 2).r, 0);  // the rim, midway up the left edge

    for (int y = 0; y < SIDE; ++y)
        for (int x = 0; x < SIDE; ++x) {
            const rgb p = at(x, y);
            EXPECT_GE(p.r, p.g);
            EXPECT_GE(p.g, p.b);
        }
    // Round and fading: along each axis the light never grows outward.
    for (int step = SIDE / 2; step + 1 < SIDE; ++step) {
        EXPECT_GE(at(step, SIDE / 2).r, at(step + 1, SIDE / 2).r);
        EXPECT_GE(at(SIDE / 2, step).r, at(SIDE / 2, step + 1).r);
        EXPECT_EQ(at(step, SIDE / 2).r, at(SIDE / 2, step).r);
    }
}

}  // namespace
