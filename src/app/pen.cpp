#include "app/pen.h"

#include <cstdlib>

#include "app/app_state.h"

namespace {

// -1, 0 or 1, one draw of the program's generator.
int random_step() { return std::rand() % 3 - 1; }

void place(int type, int x, int y, int z) { w->add_particle(type, x, y, z); }

// Lays a cube of edge `size`; odd sizes centre on the pen cell, even ones
// reach one cell further towards +x, +y, +z.
void place_cube(int type, int size, bool shell_only) {
    const int half = (size - 1) / 2;
    const int last = size - 1;
    for (int i = 0; i < size; ++i)
        for (int j = 0; j < size; ++j)
            for (int k = 0; k < size; ++k) {
                const bool inside = i > 0 && i < last && j > 0 && j < last && k > 0 && k < last;
                if (shell_only && inside) continue;
                place(type, point_x - half + i, point_y - half + j, point_z - half + k);
            }
}

// Drops size - 1 particles around the pen cell: up to one cell off along y
// and two along x or z (never both two).
void scatter(int type, int size) {
    for (int n = 1; n < size; ++n) {
        int dx = random_step();
        const int dy = random_step();
        int dz = random_step();
        if (dx == 0)
            dz += random_step();
        else if (dz == 0)
            dx += random_step();
        place(type, point_x + dx, point_y + dy, point_z + dz);
    }
}

}  // namespace

void add_sand() {
    const int type = selected_type;
    const int phase = w->types[type].phase;

    if (pen_size < 1) {
        // The rest between two applications of a size-1 pen.
        pen_size = 1;
        return;
    }
    if (pen_size == 1) {
        place(type, point_x, point_y, point_z);
        // Erasing goes on every frame; anything else every second one.
        if (phase != PHASE_EMPTY) pen_size = 0;
        return;
    }
    if (is_immobile_phase(phase))
        place_cube(type, pen_size, pen_builds_shell(phase));
    else
        scatter(type, pen_size);
}
