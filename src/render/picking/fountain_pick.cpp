#include <cstdlib>

#include "render/core/cell_drawing.h"

int random_fountain() { return std::rand() % FOUNTAIN_COUNT; }

int pick_fountain(world& w, int x, int y, int z) {
    const int index = random_fountain();
    w.grid[x][y][z].fountain_index = index;
    return index;
}
