#pragma once

#include <gtest/gtest.h>

#include "app/app_state.h"

// Every test starts from the program's start-up state and a new, empty world.
class AppTest : public ::testing::Test {
protected:
    void SetUp() override {
        set_start_values();
        selected_type = TYPE_SAND;
        mouse_x = 0;
        mouse_y = 0;
        delete w;
        w = new world();
    }
    void TearDown() override {
        delete w;
        w = nullptr;
    }

    static int count_cells(int type) {
        int n = 0;
        for (int x = 0; x < GRID_X; ++x)
            for (int y = 0; y < GRID_Y; ++y)
                for (int z = 0; z < GRID_Z; ++z) n += w->grid[x][y][z].id == type;
        return n;
    }
    static int count_non_empty() { return GRID_X * GRID_Y * GRID_Z - count_cells(TYPE_ERASER); }
    static int id_at(int x, int y, int z) { return w->grid[x][y][z].id; }
};

// The whole application state, for tests that a key changes nothing.
struct AppSnapshot {
    int point_x, point_y, point_z, selected_type, graphics, pen_size, mouse_x, mouse_y;
    bool sand_on, camera_on;
    double polar_x, polar_y, polar_d;
    world* w;

    static AppSnapshot take() {
        return {::point_x, ::point_y, ::point_z, ::selected_type, ::graphics, ::pen_size, ::mouse_x, ::mouse_y,
                ::sand_on, ::camera_on, ::polar_x, ::polar_y, ::polar_d, ::w};
    }
    bool operator==(const AppSnapshot& o) const {
        return point_x == o.point_x && point_y == o.point_y && point_z == o.point_z &&
               selected_type == o.selected_type && graphics == o.graphics && pen_size == o.pen_size &&
               mouse_x == o.mouse_x && mouse_y == o.mouse_y && sand_on == o.sand_on && camera_on == o.camera_on &&
               polar_x == o.polar_x && polar_y == o.polar_y && polar_d == o.polar_d && w == o.w;
    }
};
