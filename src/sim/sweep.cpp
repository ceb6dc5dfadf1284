#include "sim/sweep.h"

void sweep_frame(world& w) {
    sweep_frame(w, [](const ParticleType&, int, int, int) {});
}
