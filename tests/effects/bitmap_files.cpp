#include "bitmap_files.h"

#include <stdlib.h>  // mkdtemp

#include <fstream>
#include <stdexcept>

namespace {

constexpr std::uint32_t FILE_HEADER_BYTES = 14;

void put_u16(std::vector<unsigned char>& out, std::uint16_t value) {
    out.push_back(static_cast<unsigned char>(value & 0xFF));
    out.push_back(static_cast<unsigned char>(value >> 8));
}

void put_u32(std::vector<unsigned char>& out, std::uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8) out.push_back(static_cast<unsigned char>(value >> shift));
}

}  // namespace

std::array<unsigned char, 3> file_pixel(int x, int row) {
    return {static_cast<unsigned char>(10 + x), static_cast<unsigned char>(100 + row),
            static_cast<unsigned char>(200 + x + 7 * row)};
}

std::vector<unsigned char> make_bitmap(const bitmapLayout& layout) {
    // A header's own size field never changes where we put the fields: a
    // larger info_size just means a longer header, so pad it out.
    const std::uint32_t header_bytes =
        FILE_HEADER_BYTES + (layout.info_size > 40 ? layout.info_size : 40);
    const std::uint32_t offset = header_bytes + layout.gap_before_pixels;
    std::vector<unsigned char> out(layout.signature.begin(), layout.signature.end());
    put_u32(out, 0);  // file size, never read
    put_u32(out, 0);  // reserved
    put_u32(out, offset);
    put_u32(out, layout.info_size);
    put_u32(out, static_cast<std::uint32_t>(layout.width));
    put_u32(out, static_cast<std::uint32_t>(layout.height));
    put_u16(out, layout.planes);
    put_u16(out, layout.bits_per_pixel);
    put_u32(out, layout.compression);
    out.resize(offset, 0xEE);  // the rest of the header and the gap hold junk

    // Pixel rows only for sizes a test can afford to write.
    const long long rows = layout.height < 0 ? -static_cast<long long>(layout.height) : layout.height;
    if (layout.width <= 0 || layout.width > 1024 || rows > 1024) return out;
    for (int row = 0; row < rows; ++row) {
        for (int x = 0; x < layout.width; ++x) {
            const auto bgr = file_pixel(x, row);
            out.insert(out.end(), bgr.begin(), bgr.end());
        }
        if (layout.pad_rows)
            for (int b = layout.width * 3; b % 4 != 0; ++b) out.push_back(0xAB);
    }
    return out;
}

std::vector<unsigned char> rgb_in_file_row_order(int width, int rows) {
    std::vector<unsigned char> rgb;
    for (int row = 0; row < rows; ++row)
        for (int x = 0; x < width; ++x) {
            const auto bgr = file_pixel(x, row);
            rgb.insert(rgb.end(), {bgr[2], bgr[1], bgr[0]});
        }
    return rgb;
}

scratchDir::scratchDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "grainvox-effects-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("cannot make a scratch directory");
    path_ = pattern;
}

scratchDir::~scratchDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

std::string scratchDir::write(const std::string& name, const std::vector<unsigned char>& bytes) const {
    const std::filesystem::path file = path_ / name;
    std::ofstream out(file, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!out) throw std::runtime_error("cannot write " + file.string());
    return file.string();
}
