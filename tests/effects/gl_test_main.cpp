// Runs the GL tests in a small GLUT window, whose context stays current.

#include <GL/freeglut.h>
#include <gtest/gtest.h>

#include "gl_window.h"

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    glutInit(&argc, argv);
    glutInitDisplayMode(GLUT_RGB | GLUT_DOUBLE | GLUT_DEPTH);
    glutInitWindowSize(TEST_WINDOW_SIDE, TEST_WINDOW_SIDE);
    const int window = glutCreateWindow("effects test");
    const int failed = RUN_ALL_TESTS();
    glutDestroyWindow(window);
    return failed;
}
