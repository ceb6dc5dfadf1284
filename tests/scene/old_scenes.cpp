#include "old_scenes.h"

#include <cstdlib>

#include "scenes.h"

namespace {

void build_empty(world&) {}

}  // namespace

void build_old_row(world& w) {
    for (int type = 1; type < TYPE_COUNT; ++type) w.add_particle(type, 0, 0, type);
    w.grid[0][0][TYPE_OIL].ignition_delay = 0;
    w.grid[0][0][TYPE_OIL].burn_time = 9;
    w.grid[0][0][TYPE_OIL].fountain_index = 2;
    w.grid[0][0][TYPE_COUNT].fountain_index = 3;
}

void build_old_campfire(world& w) {
    fill_box(w, TYPE_WALL, 40, 60, 0, 1, 40, 60);
    fill_box(w, TYPE_OIL, 42, 50, 1, 4, 42, 58);
    fill_box(w, TYPE_FIRE, 44, 48, 4, 5, 44, 56);
    fill_box(w, TYPE_WATER, 51, 59, 1, 6, 42, 58);
    fill_box(w, TYPE_METHANE, 30, 33, 10, 12, 30, 33);
    fill_box(w, TYPE_HYDROGEN_SULFIDE, 66, 69, 10, 12, 66, 69);
    fill_box(w, TYPE_CARBON_DIOXIDE, 30, 33, 10, 12, 66, 69);
    fill_box(w, TYPE_NITROGEN_DIOXIDE, 66, 69, 10, 12, 30, 33);
    fill_box(w, TYPE_SAND, 45, 47, 20, 22, 45, 47);
    fill_box(w, TYPE_GLASS, 10, 12, 0, 2, 10, 12);
    std::srand(7);
    for (int frame = 0; frame < 25; ++frame) run_frame_picking_fountains(w);
}

const old_scene OLD_SCENES[3] = {
    {"empty-v1.gvx", build_empty}, {"row-v1.gvx", build_old_row}, {"campfire-v1.gvx", build_old_campfire}};
