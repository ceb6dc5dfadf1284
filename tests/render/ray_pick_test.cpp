// Picking by a ray walked through the grid against the desktop's picking by
// the depth drawn: over a table of pointer positions, worlds and cameras,
// both must aim the pen at the same column.

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "app/app_state.h"
#include "app/mouse.h"
#include "desktop_frame.h"
#include "render/core/cell_drawing.h"
#include "render/fixed_function/fast_renderer.h"
#include "render/picking/ray_pick.h"
#include "render_window.h"
#include "scenes.h"

namespace {

struct pick_case {
    const char* name;
    void (*build)(world&);
    double elevation, azimuth, distance;
    int style;
};

constexpr int CUBES = 0;
constexpr int POINTER_STEP_X = 23;
constexpr int POINTER_STEP_Y = 19;
constexpr int NOT_PICKED = -1;

// The world as it stands, drawn as the desktop frame draws it before the
// name: the floor and the cells.
void draw_still_frame(const world& w, const pick_case& c, fast_renderer& cells) {
    start_desktop_frame(c.elevation, c.azimuth, c.distance);
    cells.draw_still(w, c.style, f);
}

}  // namespace

TEST(RayPicking, LandsWhereTheDepthPickingLands) {
    const pick_case cases[] = {
        {"sand heap", build_sand_heap, 20.0, 0.0, 60.0, CUBES},
        {"sand heap from the side", build_sand_heap, 5.0, 130.0, 40.0, CUBES},
        {"water under oil", build_water_under_oil, 35.0, 30.0, 70.0, CUBES},
        {"burning oil", build_burning_oil, 30.0, 60.0, 60.0, CUBES},
        {"gases", build_gas_cloud, 20.0, 320.0, 60.0, CUBES},
        {"spheres", build_sand_heap, 25.0, 15.0, 50.0, GRAPHICS_SPHERES},
        {"spheres close", build_wall_and_glass, 30.0, 300.0, 25.0, GRAPHICS_SPHERES},
        {"camera inside", build_filled_block, 40.0, 45.0, 12.0, CUBES},
        {"camera below the floor", build_water_under_oil, 340.0, 20.0, 70.0, CUBES},
        {"straight down", build_wall_and_glass, 90.0, 0.0, 80.0, CUBES},
    };
    fast_renderer cells;
    for (const pick_case& c : cases) {
        SCOPED_TRACE(c.name);
        std::unique_ptr<world> w(new world());
        c.build(*w);
        draw_still_frame(*w, c, cells);
        const frame_view view = camera_view(c.elevation, c.azimuth, c.distance, RENDER_WIDTH, RENDER_HEIGHT);

        std::vector<std::pair<int, int>> pointers = {{0, 0}, {RENDER_WIDTH - 1, RENDER_HEIGHT - 1}, {-20, 600}};
        for (int y = 1; y < RENDER_HEIGHT; y += POINTER_STEP_Y)
            for (int x = 2; x < RENDER_WIDTH; x += POINTER_STEP_X) pointers.push_back({x, y});
        int differing = 0;
        for (const auto& [x, y] : pointers) {
            point_x = point_z = NOT_PICKED;
            ASSERT_TRUE(pick_cell(x, y));
            int ray_x = NOT_PICKED, ray_z = NOT_PICKED;
            ASSERT_TRUE(ray_pick(*w, c.style, view, x, y, ray_x, ray_z));
            if (ray_x != point_x || ray_z != point_z) {
                ++differing;
                ADD_FAILURE() << "pointer (" << x << ", " << y << "): depth picks (" << point_x << ", " << point_z
                              << "), the ray (" << ray_x << ", " << ray_z << ")";
            }
        }
        EXPECT_EQ(differing, 0) << "of " << pointers.size() << " pointer positions";
    }
}

TEST(RayPicking, RefusesAWindowWithNoPixels) {
    std::unique_ptr<world> w(new world());
    int x = 7, z = 9;
    EXPECT_FALSE(ray_pick(*w, CUBES, camera_view(20.0, 0.0, 100.0, 0, 0), 10, 10, x, z));
    EXPECT_EQ(x, 7);
    EXPECT_EQ(z, 9);
}
