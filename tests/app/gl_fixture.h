#pragma once

#include <GL/glut.h>
#include <GL/glu.h>
#include <gtest/gtest.h>

#include <array>

#include "app/app_state.h"
#include "app/startup.h"

// A GL test starts from the start-up state, an empty world and the
// start-up window size.
class GlTest : public ::testing::Test {
protected:
    void SetUp() override {
        set_start_values();
        selected_type = TYPE_SAND;
        graphics = 0;
        mouse_x = 0;
        mouse_y = 0;
        delete w;
        w = new world();
        resize(START_WINDOW_WIDTH, START_WINDOW_HEIGHT);
    }

    static int count_sand() {
        int n = 0;
        for (const auto& plane : w->grid)
            for (const auto& row : plane)
                for (const ParticleType& cell : row) n += cell.id == TYPE_SAND;
        return n;
    }

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
