#include "sim/neighbours.h"
#include "sim/world.h"

namespace {

struct column_offset {
    int dx;
    int dz;
};

struct column {
    int x;
    int z;
};

// Slide targets one layer down, in the order the slide list is filled.
constexpr column_offset SLIDE_DIRECTIONS[8] = {
    {-1, 0}, {0, -1}, {1, 0}, {0, 1}, {-1, -1}, {-1, 1}, {1, 1}, {1, -1},
};

}  // namespace

// Powders and liquids: fall, slide down a heap, and (liquids only) spread
// sideways while holding the pressure token. A particle only ever trades
// places with a strictly lighter one.
void world::motion(int x, int y, int z) {
    ParticleType& p = grid[x][y][z];
    if (is_immobile_phase(p.phase)) return;
    const double density = p.density;

    if (y > 0 && grid[x][y - 1][z].density < density) {
        swap(x, y, z, x, y - 1, z);  // a straight fall keeps the pressure token
        return;
    }

    if (y > 0) {
        int slides[8];
        int slide_count = 0;
        for (int i = 0; i < 8; ++i) {
            const int nx = x + SLIDE_DIRECTIONS[i].dx, nz = z + SLIDE_DIRECTIONS[i].dz;
            if (inside_columns(nx, nz) && grid[nx][y - 1][nz].density < density) slides[slide_count++] = i;
        }
        if (slide_count > 0) {
            set_field(p, &ParticleType::pressured, false);
            const column_offset d = SLIDE_DIRECTIONS[slides[choose(slide_count)]];
            swap(x, y, z, x + d.dx, y - 1, z + d.dz);
            return;
        }
    }

    column flows[8];
    int flow_count = 0;
    if (p.phase == PHASE_LIQUID && y + 1 < GRID_Y) {
        bool pressed = false;
        for_each_column_neighbour(x, z, [&](int nx, int nz) {
            const ParticleType& ring = grid[nx][y + 1][nz];
            if (ring.phase == PHASE_LIQUID && ring.density >= density) pressed = true;
            const ParticleType& side = grid[nx][y][nz];
            if ((side.phase == PHASE_LIQUID || side.id == TYPE_ERASER) && side.density < density)
                flows[flow_count++] = {nx, nz};
        });
        if (pressed) set_field(p, &ParticleType::pressured, true);
    }
    if (!p.pressured) return;

    if (flow_count > 0) {
        const column target = flows[choose(flow_count)];
        set_field(p, &ParticleType::pressured, false);
        swap(x, y, z, target.x, y, target.z);
        return;
    }

    // Blocked under pressure: hand the token to every liquid beside it.
    for_each_column_neighbour(x, z, [&](int nx, int nz) {
        if (grid[nx][y][nz].phase == PHASE_LIQUID) set_field(grid[nx][y][nz], &ParticleType::pressured, true);
    });
    set_field(p, &ParticleType::pressured, false);
}
