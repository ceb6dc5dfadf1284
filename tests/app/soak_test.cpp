#include <GL/glut.h>

#include <random>

#include "app/frame.h"
#include "app/keys.h"
#include "app/mouse.h"
#include "gl_fixture.h"

namespace {

using SoakTest = GlTest;

// Thousands of random input events between frames: whatever the user does,
// the state stays inside its bounds and nothing reads or writes out of place
// (the sanitizer builds run this too).
TEST_F(SoakTest, RandomInputBetweenFrames) {
    std::mt19937 random(20260);
    auto pick = [&](int low, int high) { return std::uniform_int_distribution<int>(low, high)(random); };
    const int special_keys[] = {GLUT_KEY_F1,   GLUT_KEY_F2,    GLUT_KEY_F3,      GLUT_KEY_F4,
                                GLUT_KEY_F10,  GLUT_KEY_F12,   GLUT_KEY_LEFT,    GLUT_KEY_RIGHT,
                                GLUT_KEY_UP,   GLUT_KEY_DOWN,  GLUT_KEY_PAGE_UP, GLUT_KEY_PAGE_DOWN,
                                GLUT_KEY_HOME, GLUT_KEY_INSERT};
    const int modifiers[] = {0, GLUT_ACTIVE_SHIFT, GLUT_ACTIVE_CTRL, GLUT_ACTIVE_ALT,
                             GLUT_ACTIVE_SHIFT | GLUT_ACTIVE_CTRL};

    int frames = 0;
    for (int event = 0; event < 6000; ++event) {
        switch (pick(0, 5)) {
        case 0: {
            unsigned char c = static_cast<unsigned char>(pick(1, 255));
            if (c == 27 || c == 'q') c = 'l';  // the quit keys end the process
            key(c, pick(0, 639), pick(0, 479));
            break;
        }
        case 1: speckey(special_keys[pick(0, 13)], 0, 0); break;
        case 2: handle_button(pick(0, 6), pick(0, 1) ? GLUT_DOWN : GLUT_UP); break;
        case 3:
        case 4: handle_pointer(pick(-50, 700), pick(-50, 540), modifiers[pick(0, 4)]); break;
        default:
            display();
            ++frames;
            break;
        }
        ASSERT_GE(point_x, 0);
        ASSERT_LE(point_x, GRID_X - 1);
        ASSERT_GE(point_y, 0);
        ASSERT_LE(point_y, GRID_Y - 1);
        ASSERT_GE(point_z, 0);
        ASSERT_LE(point_z, GRID_Z - 1);
        ASSERT_GE(pen_size, 0);
        ASSERT_LE(pen_size, 7);
        ASSERT_GE(selected_type, 0);
        ASSERT_LT(selected_type, TYPE_COUNT);
    }
    EXPECT_GT(frames, 500);
    display();
    EXPECT_GE(polar_d, 10.0);
}

}  // namespace
