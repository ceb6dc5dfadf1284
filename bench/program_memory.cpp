// Peak memory of the program drawing the full box: the start-up that main()
// does (window, GL state, fountains, one world), the box filled with Sand
// under Water under Oil, then a number of the program's own frames. Prints
// the peak resident set in megabytes, and fails when it passes the limit.
// Needs a display.
//   grainvox-memory [frames [limit_mb]]

#include <sys/resource.h>

#include <cstdio>
#include <cstdlib>

#include "app/app_state.h"
#include "app/frame.h"
#include "app/gl.h"
#include "app/startup.h"

namespace {

constexpr int DEFAULT_FRAMES = 20;
constexpr double DEFAULT_LIMIT_MB = 250.0;
constexpr int SAND_TOP = 17;   // layers [0, 17) Sand
constexpr int WATER_TOP = 34;  // layers [17, 34) Water, the rest Oil
constexpr double KILOBYTES_PER_MEGABYTE = 1024.0;

void fill_layers(world& w, int type, int y0, int y1) {
    for (int x = 0; x < GRID_X; ++x)
        for (int y = y0; y < y1; ++y)
            for (int z = 0; z < GRID_Z; ++z) w.add_particle(type, x, y, z);
}

double peak_megabytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / KILOBYTES_PER_MEGABYTE;  // ru_maxrss is in kilobytes
}

}  // namespace

int main(int argc, char** argv) {
    start_program(&argc, argv);
    // What GLUT's first reshape event does in the program.
    resize(windx, windy);

    fill_layers(*w, TYPE_SAND, 0, SAND_TOP);
    fill_layers(*w, TYPE_WATER, SAND_TOP, WATER_TOP);
    fill_layers(*w, TYPE_OIL, WATER_TOP, GRID_Y);
    const double filled = peak_megabytes();

    const int frames = argc > 1 ? std::atoi(argv[1]) : DEFAULT_FRAMES;
    const double limit = argc > 2 ? std::atof(argv[2]) : DEFAULT_LIMIT_MB;
    for (int i = 0; i < frames; ++i) display();
    glFinish();

    std::printf("peak RSS after start-up and filling: %.1f MB\n", filled);
    const double peak = peak_megabytes();
    std::printf("peak RSS after %d frames of the full box: %.1f MB (limit %.0f MB)\n", frames, peak, limit);
    return peak <= limit ? 0 : 1;
}
