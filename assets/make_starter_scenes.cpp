// Writes the starter scenes, small boxes that show the materials at work,
// with the program's own scene code, and the list the page offers them from:
//   make_starter_scenes FOLDER   writes FOLDER/NAME.gvx for each scene and
//                                FOLDER/starters.json ([{"file", "title"}])

#include <cstdio>
#include <cstdlib>
#include <iterator>
#include <memory>
#include <string>

#include "scene/scene_file.h"

namespace {

constexpr int MIDDLE_X = GRID_X / 2;
constexpr int MIDDLE_Z = GRID_Z / 2;

// Sets one cell; every scene stays inside the box.
void put(world& w, int type, int x, int y, int z) {
    if (x >= 0 && x < GRID_X && y >= 0 && y < GRID_Y && z >= 0 && z < GRID_Z) w.add_particle(type, x, y, z);
}

// Fills [x0, x1) x [y0, y1) x [z0, z1).
void fill(world& w, int type, int x0, int x1, int y0, int y1, int z0, int z1) {
    for (int x = x0; x < x1; ++x)
        for (int y = y0; y < y1; ++y)
            for (int z = z0; z < z1; ++z) put(w, type, x, y, z);
}

// A square ring `thickness` cells thick, its inside `inner` cells from the middle each way.
void ring(world& w, int type, int y, int inner, int thickness) {
    const int outer = inner + thickness;
    for (int dx = -outer; dx <= outer; ++dx)
        for (int dz = -outer; dz <= outer; ++dz)
            if (std::abs(dx) > inner || std::abs(dz) > inner) put(w, type, MIDDLE_X + dx, y, MIDDLE_Z + dz);
}

// An open-topped vessel of `type`, walls and floor one cell thick, its inside [x0, x1) x [z0, z1) from y0 + 1 up.
void vessel(world& w, int type, int x0, int x1, int y0, int y1, int z0, int z1) {
    fill(w, type, x0 - 1, x1 + 1, y0, y0 + 1, z0 - 1, z1 + 1);
    for (int y = y0 + 1; y < y1; ++y) {
        fill(w, type, x0 - 1, x1 + 1, y, y + 1, z0 - 1, z0);
        fill(w, type, x0 - 1, x1 + 1, y, y + 1, z1, z1 + 1);
        fill(w, type, x0 - 1, x0, y, y + 1, z0, z1);
        fill(w, type, x1, x1 + 1, y, y + 1, z0, z1);
    }
}

// Two square funnels of Glass meeting at a one-cell neck, the upper one full
// of Sand. Walls two cells thick, so that no grain slips out between two
// layers' corners.
void build_hourglass(world& w) {
    constexpr int NECK_Y = 14;
    constexpr int HALF_HEIGHT = 13;
    constexpr int WALL = 2;
    constexpr int SAND_TOP = NECK_Y + HALF_HEIGHT - 2;
    for (int step = 0; step <= HALF_HEIGHT; ++step) {
        const int inside = step;  // cells from the middle to the wall
        ring(w, TYPE_GLASS, NECK_Y + step, inside, WALL);
        ring(w, TYPE_GLASS, NECK_Y - step, inside, WALL);
        if (NECK_Y + step <= SAND_TOP && step > 0)
            fill(w, TYPE_SAND, MIDDLE_X - inside + 1, MIDDLE_X + inside, NECK_Y + step, NECK_Y + step + 1,
                 MIDDLE_Z - inside + 1, MIDDLE_Z + inside);
    }
}

// A Glass tank with Oil at the bottom and Water above it: the Water sinks
// through, and the Oil comes up to float on it.
void build_oil_on_water(world& w) {
    constexpr int SIDE = 24;
    constexpr int OIL_TOP = 7;
    constexpr int WATER_TOP = 14;
    constexpr int TANK_TOP = 20;
    const int x0 = MIDDLE_X - SIDE / 2, z0 = MIDDLE_Z - SIDE / 2;
    vessel(w, TYPE_GLASS, x0, x0 + SIDE, 0, TANK_TOP, z0, z0 + SIDE);
    fill(w, TYPE_OIL, x0, x0 + SIDE, 1, OIL_TOP, z0, z0 + SIDE);
    fill(w, TYPE_WATER, x0, x0 + SIDE, OIL_TOP, WATER_TOP, z0, z0 + SIDE);
}

// Two Glass chimneys, one of Methane and one of Nitrogen dioxide, rising
// out of the top and drifting over the box.
void build_gas_column(world& w) {
    constexpr int SIDE = 8;
    constexpr int GAP = 12;
    constexpr int CHIMNEY_TOP = 40;
    constexpr int GAS_TOP = 22;
    const int z0 = MIDDLE_Z - SIDE / 2;
    const int gases[] = {TYPE_METHANE, TYPE_NITROGEN_DIOXIDE};
    int x0 = MIDDLE_X - SIDE - GAP / 2;
    for (int gas : gases) {
        vessel(w, TYPE_GLASS, x0, x0 + SIDE, 0, CHIMNEY_TOP, z0, z0 + SIDE);
        fill(w, gas, x0, x0 + SIDE, 1, GAS_TOP, z0, z0 + SIDE);
        x0 += SIDE + GAP;
    }
}

// A pool of Oil in a Wall basin, alight, under a Glass tray of Water with a
// hole in its floor: the Water runs down and puts the fire out.
void build_fire_and_water(world& w) {
    constexpr int SIDE = 20;
    constexpr int BASIN_TOP = 6;
    constexpr int OIL_TOP = 4;
    constexpr int TRAY_FLOOR = 30;
    constexpr int TRAY_TOP = 38;
    constexpr int WATER_TOP = 36;
    constexpr int HOLE = 2;
    const int x0 = MIDDLE_X - SIDE / 2, z0 = MIDDLE_Z - SIDE / 2;
    vessel(w, TYPE_WALL, x0, x0 + SIDE, 0, BASIN_TOP, z0, z0 + SIDE);
    fill(w, TYPE_OIL, x0, x0 + SIDE, 1, OIL_TOP, z0, z0 + SIDE);
    fill(w, TYPE_FIRE, x0, x0 + SIDE, OIL_TOP, OIL_TOP + 1, z0, z0 + SIDE);
    vessel(w, TYPE_GLASS, x0, x0 + SIDE, TRAY_FLOOR, TRAY_TOP, z0, z0 + SIDE);
    fill(w, TYPE_WATER, x0, x0 + SIDE, TRAY_FLOOR + 1, WATER_TOP, z0, z0 + SIDE);
    fill(w, TYPE_ERASER, MIDDLE_X - HOLE / 2, MIDDLE_X + HOLE / 2, TRAY_FLOOR, TRAY_FLOOR + 1, MIDDLE_Z - HOLE / 2,
         MIDDLE_Z + HOLE / 2);
}

// A Glass vase on a Wall plinth, Sand at its bottom and Water above.
void build_glass_vessel(world& w) {
    constexpr int PLINTH_HALF = 12;
    constexpr int PLINTH_TOP = 3;
    constexpr int VASE_HALF = 7;
    constexpr int VASE_TOP = 26;
    constexpr int SAND_TOP = 7;
    constexpr int WATER_TOP = 20;
    fill(w, TYPE_WALL, MIDDLE_X - PLINTH_HALF, MIDDLE_X + PLINTH_HALF, 0, PLINTH_TOP, MIDDLE_Z - PLINTH_HALF,
         MIDDLE_Z + PLINTH_HALF);
    const int x0 = MIDDLE_X - VASE_HALF, x1 = MIDDLE_X + VASE_HALF;
    const int z0 = MIDDLE_Z - VASE_HALF, z1 = MIDDLE_Z + VASE_HALF;
    vessel(w, TYPE_GLASS, x0, x1, PLINTH_TOP, VASE_TOP, z0, z1);
    fill(w, TYPE_SAND, x0, x1, PLINTH_TOP + 1, SAND_TOP, z0, z1);
    fill(w, TYPE_WATER, x0, x1, SAND_TOP, WATER_TOP, z0, z1);
}

struct starter_scene {
    const char* file;
    const char* title;
    void (*build)(world&);
};

constexpr starter_scene STARTERS[] = {
    {"hourglass.gvx", "Hourglass", build_hourglass},
    {"oil_on_water.gvx", "Oil on Water", build_oil_on_water},
    {"gas_columns.gvx", "Gas chimneys", build_gas_column},
    {"fire_and_water.gvx", "Fire and Water", build_fire_and_water},
    {"glass_vase.gvx", "Glass vase", build_glass_vessel},
};

bool write_list(const std::string& folder) {
    std::FILE* out = std::fopen((folder + "/starters.json").c_str(), "w");
    if (!out) return false;
    std::fputs("[\n", out);
    for (const starter_scene& scene : STARTERS)
        std::fprintf(out, "  {\"file\": \"%s\", \"title\": \"%s\"}%s\n", scene.file, scene.title,
                     &scene == &STARTERS[std::size(STARTERS) - 1] ? "" : ",");
    std::fputs("]\n", out);
    return std::fclose(out) == 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s FOLDER\n", argv[0]);
        return EXIT_FAILURE;
    }
    const std::string folder = argv[1];
    for (const starter_scene& scene : STARTERS) {
        const auto w = std::make_unique<world>();
        scene.build(*w);
        const scene_outcome saved = save_scene_file(*w, folder + "/" + scene.file);
        if (!saved.ok) {
            std::fprintf(stderr, "%s\n", saved.message.c_str());
            return EXIT_FAILURE;
        }
    }
    if (write_list(folder)) return EXIT_SUCCESS;
    std::fprintf(stderr, "cannot write %s/starters.json\n", folder.c_str());
    return EXIT_FAILURE;
}
