#pragma once

#include <string>
#include <vector>

// How closely two pictures of the same scene agree: the share of pixels whose
// colour differs by more than a tolerance in any channel. Used to hold the
// GLES2 drawing (and the page's screenshot) to the desktop program's frame.

constexpr int AGREEMENT_CHANNEL_TOLERANCE = 16;  // levels out of 255

struct picture {
    int width = 0, height = 0;
    std::vector<unsigned char> rgb;  // rows top down, three bytes a pixel
};

// Share of pixels (0 to 1) differing by more than `tolerance` in a channel;
// 1 when the sizes differ or the pictures are empty.
double differing_share(const picture& a, const picture& b, int tolerance = AGREEMENT_CHANNEL_TOLERANCE);

// Binary PPM (P6, maxval 255). The reader takes comments and any whitespace
// in the header; false on anything else.
bool read_ppm(const std::string& path, picture& out);
bool write_ppm(const std::string& path, const picture& in);
