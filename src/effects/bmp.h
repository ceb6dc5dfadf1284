#pragma once

#include <cstdint>

// An image read from a file: width x height pixels of red, green, blue bytes,
// rows in the order of the file. The record and data are C allocations that
// the caller frees.
struct textureImage {
    std::int32_t width;
    std::int32_t height;
    unsigned char* data;
};

// Reads an uncompressed 24-bit Windows bitmap whose rows need no filler bytes
// (width a multiple of 4). Returns 1 when the whole image was read, else 0.
// On failure `data` is left as it was (null when the caller cleared it);
// `width` and `height` may hold what the header said.
int loadBMP(const char* path, textureImage* image);
