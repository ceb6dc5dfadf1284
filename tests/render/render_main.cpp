// Runs the drawing tests in a window set up as the program sets up its own.

#include <gtest/gtest.h>

#include "app/app_state.h"
#include "app/gl.h"
#include "app/startup.h"
#include "render_window.h"

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    windx = RENDER_WIDTH;
    windy = RENDER_HEIGHT;
    open_window(&argc, argv);
    init_gl_state();
    create_fountains();
    resize(RENDER_WIDTH, RENDER_HEIGHT);
    const int failed = RUN_ALL_TESTS();
    for (fountain*& effect : f) {
        delete effect;
        effect = nullptr;
    }
    return failed;
}
