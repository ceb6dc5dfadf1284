// Counts pixels of a screenshot (binary PPM) for the end-to-end tests:
//   e2e_pixels sand FILE       pixels that look like lit or shaded sand
//   e2e_pixels water FILE      pixels that look like (translucent) water
//   e2e_pixels lit FILE        pixels that are not (nearly) black
//   e2e_pixels fire FILE       pixels of fire particles drawn in their own orange
//   e2e_pixels glow FILE       pixels of the glow texture's deep orange ring
//   e2e_pixels green FILE      pixels of fire drawn through a pure green texture
//   e2e_pixels changed A B     pixels that differ visibly between two shots
// Prints the count on standard output; exits 2 on unreadable input.
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

namespace {

struct rgb_image {
    int width = 0;
    int height = 0;
    std::vector<unsigned char> rgb;  // width * height * 3 bytes, rows top first
};

// Skips whitespace and '#' comments between the fields of a PPM header.
void skip_header_space(std::istream& in) {
    for (;;) {
        int c = in.peek();
        if (c == '#') {
            std::string comment;
            std::getline(in, comment);
        } else if (c == ' ' || c == '\t' || c == '\n' || c == '\r') {
            in.get();
        } else {
            return;
        }
    }
}

bool read_ppm(const char* path, rgb_image& image) {
    constexpr int max_side = 16384;
    std::ifstream in(path, std::ios::binary);
    std::string magic;
    in >> magic;
    if (!in || magic != "P6") return false;
    int maxval = 0;
    skip_header_space(in);
    in >> image.width;
    skip_header_space(in);
    in >> image.height;
    skip_header_space(in);
    in >> maxval;
    if (!in || maxval != 255 || image.width <= 0 || image.height <= 0 ||
        image.width > max_side || image.height > max_side)
        return false;
    in.get();  // the single whitespace byte before the samples
    image.rgb.resize(static_cast<size_t>(image.width) * image.height * 3);
    in.read(reinterpret_cast<char*>(image.rgb.data()), static_cast<std::streamsize>(image.rgb.size()));
    return static_cast<size_t>(in.gcount()) == image.rgb.size();
}

// Sand is drawn in (1.0, 0.82, 0.38) and lit without ambient light, so its
// faces keep that hue at any brightness: red first, green a little below,
// blue well below green. Grey floor, red marker, white text and the orange
// of oil and fire all fall outside this band.
bool looks_like_sand(int r, int g, int b) {
    constexpr int min_red = 60;
    if (r < min_red) return false;
    const double green_share = static_cast<double>(g) / r;
    const double blue_share = static_cast<double>(b) / r;
    return green_share >= 0.65 && green_share <= 0.95 && blue_share <= 0.6 && b < g;
}

// Water is pure blue at alpha 0.3: blended over the grey floor or black it
// stays clearly bluer than it is red or green.
bool looks_like_water(int r, int g, int b) {
    constexpr int blue_lead = 40;
    return b >= r + blue_lead && b >= g + blue_lead;
}

// Fire particles are (1.0, 0.3, 0.0), added over what is behind them. Drawn
// plainly (or at the white core of a texture) green stays near 0.3 of red.
bool looks_like_fire(int r, int g, int b) {
    constexpr int min_red = 60;
    return r > min_red && g * 100 >= r * 20 && g * 100 <= r * 45 && b * 100 < r * 30;
}

// Our glow texture fades from white through orange to black, so around each
// particle's core the green share falls far below the particle's own 0.3;
// plain squares never show this. Pure red (the pen marker) is left out.
bool looks_like_glow(int r, int g, int b) {
    constexpr int min_red = 60;
    return r > min_red && g * 100 < r * 12 && b * 2 < g;
}

// A pure green texture leaves only the particles' green: nothing else in the
// scene is green with so little red and blue.
bool looks_like_green_fire(int r, int g, int b) {
    constexpr int min_green = 20;
    return g > min_green && r * 2 < g && b * 2 < g;
}

bool is_lit(int r, int g, int b) {
    constexpr int darkest_lit = 24;
    return r > darkest_lit || g > darkest_lit || b > darkest_lit;
}

bool differs(const unsigned char* a, const unsigned char* b) {
    constexpr int visible_step = 24;
    for (int channel = 0; channel < 3; ++channel)
        if (std::abs(a[channel] - b[channel]) > visible_step) return true;
    return false;
}

template <typename Predicate>
long count_pixels(const rgb_image& image, Predicate wanted) {
    long count = 0;
    for (size_t i = 0; i < image.rgb.size(); i += 3)
        if (wanted(image.rgb[i], image.rgb[i + 1], image.rgb[i + 2])) ++count;
    return count;
}

int usage() {
    std::cerr << "usage: e2e_pixels sand|water|fire|glow|green|lit FILE.ppm | e2e_pixels changed A.ppm B.ppm\n";
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) return usage();
    const std::string what = argv[1];
    rgb_image first;
    if (!read_ppm(argv[2], first)) {
        std::cerr << "cannot read " << argv[2] << " as a binary PPM\n";
        return 2;
    }
    if (what == "sand") {
        std::cout << count_pixels(first, looks_like_sand) << '\n';
    } else if (what == "water") {
        std::cout << count_pixels(first, looks_like_water) << '\n';
    } else if (what == "fire") {
        std::cout << count_pixels(first, looks_like_fire) << '\n';
    } else if (what == "glow") {
        std::cout << count_pixels(first, looks_like_glow) << '\n';
    } else if (what == "green") {
        std::cout << count_pixels(first, looks_like_green_fire) << '\n';
    } else if (what == "lit") {
        std::cout << count_pixels(first, is_lit) << '\n';
    } else if (what == "changed" && argc == 4) {
        rgb_image second;
        if (!read_ppm(argv[3], second) || second.width != first.width || second.height != first.height) {
            std::cerr << "cannot compare " << argv[2] << " with " << argv[3] << '\n';
            return 2;
        }
        long count = 0;
        for (size_t i = 0; i < first.rgb.size(); i += 3)
            if (differs(&first.rgb[i], &second.rgb[i])) ++count;
        std::cout << count << '\n';
    } else {
        return usage();
    }
    return 0;
}
