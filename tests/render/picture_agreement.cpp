#include "picture_agreement.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <utility>

namespace {

constexpr int CHANNELS = 3;
constexpr int MAX_VALUE = 255;
constexpr long MAX_SIDE = 1 << 15;

// The next header number, skipping whitespace and comments; -1 on anything else.
long header_number(std::istream& in) {
    int c = in.get();
    while (c == '#' || c == ' ' || c == '\t' || c == '\n' || c == '\r') {
        if (c == '#')
            while (c != '\n' && c != EOF) c = in.get();
        c = in.get();
    }
    long value = -1;
    while (c >= '0' && c <= '9' && value < MAX_SIDE * MAX_SIDE) {
        value = (value < 0 ? 0 : value * 10) + (c - '0');
        c = in.get();
    }
    return value;  // the one whitespace character after it is consumed
}

}  // namespace

double differing_share(const picture& a, const picture& b, int tolerance) {
    if (a.width != b.width || a.height != b.height || a.width <= 0 || a.height <= 0) return 1.0;
    const std::size_t pixels = static_cast<std::size_t>(a.width) * static_cast<std::size_t>(a.height);
    if (a.rgb.size() != pixels * CHANNELS || b.rgb.size() != pixels * CHANNELS) return 1.0;
    std::size_t differing = 0;
    for (std::size_t i = 0; i < pixels; ++i)
        for (int c = 0; c < CHANNELS; ++c)
            if (std::abs(a.rgb[i * CHANNELS + c] - b.rgb[i * CHANNELS + c]) > tolerance) {
                ++differing;
                break;
            }
    return static_cast<double>(differing) / static_cast<double>(pixels);
}

bool read_ppm(const std::string& path, picture& out) {
    std::ifstream in(path, std::ios::binary);
    if (!in || in.get() != 'P' || in.get() != '6') return false;
    const long width = header_number(in), height = header_number(in), max_value = header_number(in);
    if (width <= 0 || height <= 0 || width > MAX_SIDE || height > MAX_SIDE || max_value != MAX_VALUE) return false;
    picture read;
    read.width = static_cast<int>(width);
    read.height = static_cast<int>(height);
    read.rgb.resize(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * CHANNELS);
    in.read(reinterpret_cast<char*>(read.rgb.data()), static_cast<std::streamsize>(read.rgb.size()));
    if (in.gcount() != static_cast<std::streamsize>(read.rgb.size())) return false;
    out = std::move(read);
    return true;
}

bool write_ppm(const std::string& path, const picture& in) {
    std::ofstream out(path, std::ios::binary);
    out << "P6\n" << in.width << ' ' << in.height << '\n' << MAX_VALUE << '\n';
    out.write(reinterpret_cast<const char*>(in.rgb.data()), static_cast<std::streamsize>(in.rgb.size()));
    return static_cast<bool>(out);
}
