// Runs the drawing tests in a window set up as the program sets up its own.

#include <gtest/gtest.h>

#include "app/app_state.h"
#include "app/gl.h"
#include "app/startup.h"
#include "render_window.h"

std::vector<unsigned char> read_back_pixels() {
    std::vector<unsigned char> pixels(static_cast<std::size_t>(RENDER_WIDTH) * RENDER_HEIGHT * 3);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadBuffer(GL_BACK);
    glReadPixels(0, 0, RENDER_WIDTH, RENDER_HEIGHT, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
    return pixels;
}

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
