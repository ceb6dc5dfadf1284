#pragma once

// Writes bitmap files for the reader tests, with any header field set to
// whatever a test needs, good or bad.

#include <array>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

struct bitmapLayout {
    std::string signature = "BM";
    std::uint32_t info_size = 40;
    std::int32_t width = 4;
    std::int32_t height = 2;
    std::uint16_t planes = 1;
    std::uint16_t bits_per_pixel = 24;
    std::uint32_t compression = 0;
    std::uint32_t gap_before_pixels = 0;  // a palette or a longer header
    bool pad_rows = true;                 // fill rows to 4 bytes, as the format does
};

// The blue, green, red bytes stored for pixel x of the row-th row of the file.
std::array<unsigned char, 3> file_pixel(int x, int row);

// The whole file; the pixel rows follow the file_pixel pattern.
std::vector<unsigned char> make_bitmap(const bitmapLayout& layout);

// What a reader should hand back: packed red-green-blue rows, in the order
// the rows appear in the file.
std::vector<unsigned char> rgb_in_file_row_order(int width, int rows);

// A fresh directory, removed with everything in it when the object goes.
class scratchDir {
public:
    scratchDir();
    ~scratchDir();
    scratchDir(const scratchDir&) = delete;
    scratchDir& operator=(const scratchDir&) = delete;

    const std::filesystem::path& path() const { return path_; }
    // Writes `bytes` to a file of that name here and returns its full path.
    std::string write(const std::string& name, const std::vector<unsigned char>& bytes) const;

private:
    std::filesystem::path path_;
};
