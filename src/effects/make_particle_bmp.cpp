// Writes the fountain's particle texture: a soft round glow, white at the
// centre, warming to orange and fading to black at the rim, as an
// uncompressed 24-bit bitmap.
//   make_particle_bmp OUTPUT [WIDTH HEIGHT]   (default 32 x 32)

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

constexpr int DEFAULT_SIDE = 32;
constexpr int MAX_SIDE = 4096;
constexpr std::uint32_t FILE_HEADER_BYTES = 14;
constexpr std::uint32_t INFO_HEADER_BYTES = 40;
constexpr std::uint16_t PLANES = 1;
constexpr std::uint16_t BITS_PER_PIXEL = 24;
constexpr int ROW_ALIGNMENT = 4;
constexpr std::int32_t PIXELS_PER_METRE = 2835;  // 72 dots per inch
constexpr double FULL = 255.0;
// How fast each channel dims away from the centre: blue first, red last,
// which leaves a warm ring around a white core.
constexpr double RED_FALLOFF = 1.0;
constexpr double GREEN_FALLOFF = 1.8;
constexpr double BLUE_FALLOFF = 3.5;
constexpr double MIN_RADIUS = 0.5;

void put_u16(std::vector<unsigned char>& out, std::uint16_t value) {
    out.push_back(static_cast<unsigned char>(value & 0xFF));
    out.push_back(static_cast<unsigned char>(value >> 8));
}

void put_u32(std::vector<unsigned char>& out, std::uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8) out.push_back(static_cast<unsigned char>((value >> shift) & 0xFF));
}

// Glow radius along one side: a pixel short of the edge, so the border is black.
double glow_radius(int side) { return std::max(side / 2.0 - 1.0, MIN_RADIUS); }

// Glow strength at a pixel centre: 1 in the middle, 0 at and beyond the rim.
double glow(int x, int y, int width, int height) {
    const double dx = (x + 0.5 - width / 2.0) / glow_radius(width);
    const double dy = (y + 0.5 - height / 2.0) / glow_radius(height);
    const double fade = std::max(0.0, 1.0 - std::sqrt(dx * dx + dy * dy));
    return fade * fade * (3.0 - 2.0 * fade);  // smooth at both ends
}

unsigned char channel(double strength, double falloff) {
    return static_cast<unsigned char>(std::lround(FULL * std::pow(strength, falloff)));
}

std::vector<unsigned char> make_bitmap(int width, int height) {
    const std::uint32_t row_bytes = static_cast<std::uint32_t>(width) * 3;
    const std::uint32_t stride = (row_bytes + ROW_ALIGNMENT - 1) / ROW_ALIGNMENT * ROW_ALIGNMENT;
    const std::uint32_t pixel_bytes = stride * static_cast<std::uint32_t>(height);
    const std::uint32_t offset = FILE_HEADER_BYTES + INFO_HEADER_BYTES;

    std::vector<unsigned char> out;
    out.push_back('B');
    out.push_back('M');
    put_u32(out, offset + pixel_bytes);
    put_u32(out, 0);  // reserved
    put_u32(out, offset);
    put_u32(out, INFO_HEADER_BYTES);
    put_u32(out, static_cast<std::uint32_t>(width));
    put_u32(out, static_cast<std::uint32_t>(height));  // positive: bottom row first
    put_u16(out, PLANES);
    put_u16(out, BITS_PER_PIXEL);
    put_u32(out, 0);  // no compression
    put_u32(out, pixel_bytes);
    put_u32(out, PIXELS_PER_METRE);
    put_u32(out, PIXELS_PER_METRE);
    put_u32(out, 0);  // no palette
    put_u32(out, 0);

    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const double strength = glow(x, y, width, height);
            out.push_back(channel(strength, BLUE_FALLOFF));
            out.push_back(channel(strength, GREEN_FALLOFF));
            out.push_back(channel(strength, RED_FALLOFF));
        }
        for (std::uint32_t pad = row_bytes; pad < stride; ++pad) out.push_back(0);
    }
    return out;
}

bool parse_side(const char* text, int& side) {
    char* end = nullptr;
    const long value = std::strtol(text, &end, 10);
    if (end == text || *end != '\0' || value < 1 || value > MAX_SIDE) return false;
    side = static_cast<int>(value);
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    int width = DEFAULT_SIDE;
    int height = DEFAULT_SIDE;
    const bool sized = argc == 4 && parse_side(argv[2], width) && parse_side(argv[3], height);
    if (argc != 2 && !sized) {
        std::fprintf(stderr, "usage: %s OUTPUT [WIDTH HEIGHT]\n", argv[0]);
        return 2;
    }
    const std::vector<unsigned char> bitmap = make_bitmap(width, height);
    std::FILE* file = std::fopen(argv[1], "wb");
    if (file == nullptr) {
        std::perror(argv[1]);
        return 1;
    }
    const bool written = std::fwrite(bitmap.data(), 1, bitmap.size(), file) == bitmap.size();
    if (std::fclose(file) != 0 || !written) {
        std::fprintf(stderr, "%s: could not write the image\n", argv[1]);
        return 1;
    }
    return 0;
}
