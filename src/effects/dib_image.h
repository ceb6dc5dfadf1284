#pragma once

#include <cstdint>

// Our stand-in for the platform's DIB image loader, with the same contract:
// a record of width, height and red-green-blue bytes, record and data both
// allocated with malloc (the caller frees both with free), or null when the
// file cannot be read. The field names match the platform's record so one
// caller serves both.
struct dibImage {
    std::int32_t sizeX;
    std::int32_t sizeY;
    unsigned char* data;  // sizeX * sizeY packed pixels, bottom row first
};

// Reads an uncompressed 24-bit bitmap, bottom-up or top-down, with or
// without row filler. Rows come out tightly packed, bottom row first.
dibImage* read_dib_image(const char* path);
