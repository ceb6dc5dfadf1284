#include <gtest/gtest.h>

#include "app/app_state.h"
#include "app/startup.h"

// The GL tests run in a window of the program's own making, set up as the
// program sets itself up, short of entering the main loop.
int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    windx = START_WINDOW_WIDTH;
    windy = START_WINDOW_HEIGHT;
    open_window(&argc, argv);
    register_callbacks();
    init_gl_state();
    create_fountains();
    set_start_values();
    w = new world();
    selected_type = TYPE_SAND;
    resize(windx, windy);
    const int result = RUN_ALL_TESTS();
    delete w;
    for (fountain*& effect : f) {
        delete effect;
        effect = nullptr;
    }
    return result;
}
