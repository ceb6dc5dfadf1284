// Runs the GLES2 drawing's tests in a window set up as the program sets up
// its own, with the fountains textured from the built particle image (the
// working directory is its folder, where the program looks first).

#include <gtest/gtest.h>

#include <string>
#include <unistd.h>

#include "app/app_state.h"
#include "app/startup.h"
#include "render_window.h"

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    const std::string image = PARTICLE_BMP_PATH;
    if (chdir(image.substr(0, image.rfind('/')).c_str()) != 0) return 1;
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
