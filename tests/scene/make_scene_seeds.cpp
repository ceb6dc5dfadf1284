// Writes a few small scene files into a folder, the seeds of the scene fuzzer:
//   make_scene_seeds FOLDER
#include <cstdio>
#include <memory>
#include <string>

#include "scene/scene_file.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_scene_seeds FOLDER\n");
        return 2;
    }
    const std::string folder = argv[1];
    std::unique_ptr<world> w(new world());
    bool saved = save_scene_file(*w, folder + "/empty.gvx").ok;

    // One cell of every material in a row, one of them burning, and an empty
    // cell that kept a fountain pick.
    for (int type = 1; type < TYPE_COUNT; ++type) w->add_particle(type, 0, 0, type);
    w->grid[0][0][2].ignition_delay = 0;
    w->grid[0][0][2].burn_time = 9;
    w->grid[0][0][TYPE_COUNT].fountain_index = 3;
    saved = saved && save_scene_file(*w, folder + "/row.gvx").ok;

    // Runs that break at the ends of rows and layers.
    w->add_particle(TYPE_WATER, GRID_X - 1, GRID_Y - 1, GRID_Z - 1);
    w->add_particle(TYPE_SAND, 1, 0, GRID_Z - 1);
    w->add_particle(TYPE_SAND, 1, 1, 0);
    saved = saved && save_scene_file(*w, folder + "/corners.gvx").ok;
    return saved ? 0 : 1;
}
