#pragma once

#include <GL/glut.h>
#include <GL/glu.h>
#include <gtest/gtest.h>

#include <array>

#include "app/startup.h"
#include "app_fixture.h"

// A GL test starts from the start-up state, an empty world and the
// start-up window size.
class GlTest : public AppTest {
protected:
    void SetUp() override {
        AppTest::SetUp();
        resize(START_WINDOW_WIDTH, START_WINDOW_HEIGHT);
    }

    static int count_sand() { return count_cells(TYPE_SAND); }

public:
    // The window position (x from the left, y from the bottom) of a scene
    // point under the matrices the last frame left.
    static std::array<double, 3> project(double x, double y, double z) {
        GLdouble modelview[16], projection[16];
        GLint viewport[4];
        glGetDoublev(GL_MODELVIEW_MATRIX, modelview);
        glGetDoublev(GL_PROJECTION_MATRIX, projection);
        glGetIntegerv(GL_VIEWPORT, viewport);
        std::array<double, 3> out{};
        gluProject(x, y, z, modelview, projection, viewport, &out[0], &out[1], &out[2]);
        return out;
    }
};
