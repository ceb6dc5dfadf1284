#include "sim/neighbours.h"
#include "sim/types.h"
#include "sim/world.h"

// A burning particle brings each flammable neighbour one contact closer to
// catching fire, and is put out by an extinguisher beside or above it.
void world::spread_fire(int x, int y, int z) {
    for_each_neighbour_until(x, y, z, [&](int nx, int ny, int nz, int dy) {
        ParticleType& n = grid[nx][ny][nz];
        if (n.burn_time > 0) {
            if (n.ignition_delay > 0) --n.ignition_delay;
            if (n.ignition_delay == 0) {
                n.red = IGNITION_RED;
                n.green = IGNITION_GREEN;
                n.blue = IGNITION_BLUE;
                n.alpha = IGNITION_ALPHA;
            }
            return true;
        }
        if (NEIGHBOURS_PUT_OUT_FIRE && dy >= 0 && n.extinguishes) {
            swap(x, y, z, nx, ny, nz);  // the fire is gone: no further contacts
            return false;
        }
        return true;
    });
}
