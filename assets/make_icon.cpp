// Writes the program's icon as SVG: a small heap of sand cubes crowned by a
// burning one, seen from above at the usual isometric angle.
//   make_icon OUTPUT.svg

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <vector>

namespace {

constexpr double ICON_SIDE = 64.0;
constexpr double MARGIN = 3.0;
constexpr double ISO_ANGLE = 0.5235987755982988;  // 30 degrees
// How much light each visible face of a cube gets.
constexpr double TOP_LIGHT = 1.0;
constexpr double LEFT_LIGHT = 0.78;
constexpr double RIGHT_LIGHT = 0.58;

struct colour {
    double red, green, blue;
};
constexpr colour SAND = {1.0, 0.82, 0.38};
constexpr colour FIRE = {1.0, 0.45, 0.08};

struct cube {
    int x, y, z;  // y is up
    colour tint;
};

// Three sand cubes a side on the floor, one on top in the middle, and a
// burning one above it.
std::vector<cube> heap() {
    std::vector<cube> cubes;
    for (int x = 0; x < 3; ++x)
        for (int z = 0; z < 3; ++z) cubes.push_back({x, 0, z, SAND});
    cubes.push_back({1, 1, 1, SAND});
    cubes.push_back({1, 2, 1, FIRE});
    // Back to front: a cube never hides one with a larger sum.
    std::stable_sort(cubes.begin(), cubes.end(),
                     [](const cube& a, const cube& b) { return a.x + a.y + a.z < b.x + b.y + b.z; });
    return cubes;
}

struct point {
    double x, y;
};

point project(double x, double y, double z) {
    return {(x - z) * std::cos(ISO_ANGLE), (x + z) * std::sin(ISO_ANGLE) - y};
}

using face = std::array<point, 4>;

// The three faces seen from the viewer: top, the one facing +z, the one facing +x.
std::array<face, 3> faces_of(const cube& c) {
    const double x = c.x, y = c.y, z = c.z;
    return {{{project(x, y + 1, z), project(x + 1, y + 1, z), project(x + 1, y + 1, z + 1), project(x, y + 1, z + 1)},
             {project(x, y, z + 1), project(x + 1, y, z + 1), project(x + 1, y + 1, z + 1), project(x, y + 1, z + 1)},
             {project(x + 1, y, z), project(x + 1, y, z + 1), project(x + 1, y + 1, z + 1), project(x + 1, y + 1, z)}}};
}

int channel(double value, double light) { return static_cast<int>(std::lround(255.0 * value * light)); }

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT.svg\n", argv[0]);
        return 2;
    }
    const std::vector<cube> cubes = heap();

    // Scale and shift the drawing to fill the icon inside its margin.
    double min_x = 1e9, max_x = -1e9, min_y = 1e9, max_y = -1e9;
    for (const cube& c : cubes)
        for (const face& f : faces_of(c))
            for (const point& p : f) {
                min_x = std::min(min_x, p.x);
                max_x = std::max(max_x, p.x);
                min_y = std::min(min_y, p.y);
                max_y = std::max(max_y, p.y);
            }
    const double scale = (ICON_SIDE - 2 * MARGIN) / std::max(max_x - min_x, max_y - min_y);
    const double shift_x = (ICON_SIDE - (max_x - min_x) * scale) / 2 - min_x * scale;
    const double shift_y = (ICON_SIDE - (max_y - min_y) * scale) / 2 - min_y * scale;

    std::FILE* out = std::fopen(argv[1], "w");
    if (out == nullptr) {
        std::perror(argv[1]);
        return 1;
    }
    std::fprintf(out, "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"%g\" height=\"%g\" viewBox=\"0 0 %g %g\">\n",
                 ICON_SIDE, ICON_SIDE, ICON_SIDE, ICON_SIDE);
    const double lights[3] = {TOP_LIGHT, LEFT_LIGHT, RIGHT_LIGHT};
    for (const cube& c : cubes) {
        const std::array<face, 3> faces = faces_of(c);
        for (int i = 0; i < 3; ++i) {
            std::fprintf(out, "  <polygon fill=\"rgb(%d,%d,%d)\" stroke=\"#3a2a10\" stroke-width=\"0.4\" points=\"",
                         channel(c.tint.red, lights[i]), channel(c.tint.green, lights[i]),
                         channel(c.tint.blue, lights[i]));
            for (const point& p : faces[i]) std::fprintf(out, " %.2f,%.2f", p.x * scale + shift_x, p.y * scale + shift_y);
            std::fprintf(out, "\"/>\n");
        }
    }
    std::fprintf(out, "</svg>\n");
    const bool written = std::ferror(out) == 0;
    if (std::fclose(out) != 0 || !written) {
        std::fprintf(stderr, "%s: could not write\n", argv[1]);
        return 1;
    }
    return 0;
}
