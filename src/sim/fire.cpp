#include "sim/neighbours.h"
#include "sim/types.h"
#include "sim/world.h"

// A burning particle brings each flammable neighbour one contact closer to
// catching fire, and is put out by an extinguisher beside or above it.
void world::spread_fire(int x, int y, int z) {
    for_each_neighbour_until(x, y, z, [&](int nx, int ny, int nz, int dy) {
        ParticleType& n = grid[nx][ny][nz];
        if (n.burn_time > 0) {
            if (n.ignition_delay > 0) set_field(n, &ParticleType::ignition_delay, n.ignition_delay - 1);
            if (n.ignition_delay == 0) {
                set_field(n, &ParticleType::red, IGNITION_RED);
                set_field(n, &ParticleType::green, IGNITION_GREEN);
                set_field(n, &ParticleType::blue, IGNITION_BLUE);
                set_field(n, &ParticleType::alpha, IGNITION_ALPHA);
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
