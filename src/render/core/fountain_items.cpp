#include "render/core/fountain_items.h"

void record_fountain(const cell_draw& cell, const fountain& effect, std::vector<fountain_item>& items,
                     std::vector<fountain_corner>& corners) {
    const std::size_t first = corners.size();
    for (const fountainParticle& p : effect.particles) {
        if (!p.alive) continue;
        for (int corner : FOUNTAIN_SQUARE_TRIANGLES) {
            const fountain_square_corner& c = FOUNTAIN_SQUARE_STRIP[corner];
            corners.push_back({{p.red, p.green, p.blue, p.life},
                               {p.pos_x + c.dx * FOUNTAIN_SQUARE_HALF_SIZE,
                                p.pos_y + c.dy * FOUNTAIN_SQUARE_HALF_SIZE, p.pos_z},
                               {c.s, c.t}});
        }
    }
    items.push_back({cell, first, corners.size() - first});
}
