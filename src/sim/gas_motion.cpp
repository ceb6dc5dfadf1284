#include "sim/neighbours.h"
#include "sim/world.h"

// Gases take one random step into an empty or gaseous neighbour at every
// visit; the sign of the density decides whether that step may go down, up
// or both. Densities are not compared: gases mix freely.
void world::gas_motion(int x, int y, int z) {
    const double density = grid[x][y][z].density;
    const int dy_low = density < 0 ? 0 : -1;
    const int dy_high = density > 0 ? 0 : 1;

    struct cell_position {
        int x, y, z;
    };
    cell_position candidates[26];
    int count = 0;
    for_each_gas_neighbour(x, y, z, dy_low, dy_high, [&](int nx, int ny, int nz) {
        const ParticleType& n = grid[nx][ny][nz];
        if (n.id == TYPE_ERASER || n.phase == PHASE_GAS) candidates[count++] = {nx, ny, nz};
    });
    if (count == 0) return;
    const cell_position target = candidates[choose(count)];
    swap(x, y, z, target.x, target.y, target.z);
}
