#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>

#include "scene/regular_file.h"

// Field layout and limits shared by our Windows-bitmap readers.

constexpr std::uint16_t BMP_SIGNATURE = 0x4D42;  // "BM", little-endian
constexpr std::uint16_t BMP_PLANES = 1;
constexpr std::uint16_t BMP_BITS_PER_PIXEL = 24;
constexpr int BMP_BYTES_PER_PIXEL = 3;
constexpr int BMP_ROW_ALIGNMENT = 4;            // rows of the file are padded to this
constexpr std::uint32_t BMP_INFO_HEADER_SIZE = 40;
constexpr std::uint32_t BMP_COMPRESSION_NONE = 0;

// Far beyond any texture we would load; keeps sizes from a hostile header sane.
constexpr std::int32_t MAX_IMAGE_SIDE = 16384;
constexpr std::size_t MAX_IMAGE_BYTES = 64u * 1024u * 1024u;

// Little-endian reads; false when the file ends first.
bool read_u16(std::FILE* file, std::uint16_t& value);
bool read_u32(std::FILE* file, std::uint32_t& value);
bool read_i32(std::FILE* file, std::int32_t& value);

bool skip_bytes(std::FILE* file, long count);
// Seeks to an offset from the start of the file; false if it cannot be reached.
bool seek_to(std::FILE* file, std::uint32_t offset);

// Bytes of an image of packed three-byte pixels, or 0 when a side is not
// positive or the image is beyond our limits.
std::size_t checked_image_bytes(std::int32_t width, std::int32_t height);

// Turns the file's blue-green-red triples into red-green-blue, in place.
void swap_blue_and_red(unsigned char* pixels, std::size_t bytes);
