#include "render/core/cell_drawing.h"
#include "render/fixed_function/gl.h"
#include "sim/sweep.h"

namespace {

// `pick` gives the fountain of a burning cell; it is called only for those.
template <class PickFountain>
void draw_cell(const ParticleType& before, int x, int y, int z, int graphics, fountain* const* fountains,
               PickFountain&& pick) {
    glPushMatrix();
    glColor4f(static_cast<float>(before.red), static_cast<float>(before.green), static_cast<float>(before.blue),
              static_cast<float>(before.alpha));
    glTranslated(x, y, z);
    if (is_burning(before)) {
        fountain* effect = fountains[pick()];
        if (effect) effect->draw(x, y, z);
    } else if (graphics == GRAPHICS_SPHERES) {
        glutSolidSphere(CELL_SPHERE_RADIUS, CELL_SPHERE_SLICES, CELL_SPHERE_STACKS);
    } else {
        glutSolidCube(CELL_CUBE_EDGE);
    }
    glPopMatrix();
}

}  // namespace

void draw_sweep_reference(world& w, int graphics, fountain* const* fountains) {
    sweep_frame(w, [&w, graphics, fountains](const ParticleType& before, int x, int y, int z) {
        draw_cell(before, x, y, z, graphics, fountains, [&] { return pick_fountain(w, x, y, z); });
    });
}

void draw_still_reference(const world& w, int graphics, fountain* const* fountains) {
    still_frame(w, [graphics, fountains](const ParticleType& cell, int x, int y, int z) {
        draw_cell(cell, x, y, z, graphics, fountains, random_fountain);
    });
}
