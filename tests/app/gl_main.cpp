#include <gtest/gtest.h>

#include "app/app_state.h"
#include "app/startup.h"

// The GL tests run in a window of the program's own making, set up as the
// program sets itself up, short of entering the main loop.
int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    start_program(&argc, argv);
    resize(windx, windy);
    const int result = RUN_ALL_TESTS();
    delete w;
    for (fountain*& effect : f) {
        delete effect;
        effect = nullptr;
    }
    return result;
}
