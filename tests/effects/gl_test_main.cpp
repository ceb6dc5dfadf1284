// Runs the GL tests in a small GLUT window, whose context stays current.

#include <GL/freeglut.h>
#include <gtest/gtest.h>

#ifdef __SANITIZE_ADDRESS__
#include <sanitizer/lsan_interface.h>
#endif

#include "gl_window.h"

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    glutInit(&argc, argv);
    glutInitDisplayMode(GLUT_RGB | GLUT_DOUBLE | GLUT_DEPTH);
    glutInitWindowSize(TEST_WINDOW_SIDE, TEST_WINDOW_SIDE);
    glutCreateWindow("effects test");
    const int failed = RUN_ALL_TESTS();
#ifdef __SANITIZE_ADDRESS__
    // Look for leaks while the GL driver is still loaded: after exit has
    // unloaded it, its allocations could not be told from ours.
    __lsan_do_leak_check();
#endif
    return failed;
}
