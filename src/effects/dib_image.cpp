#include "effects/dib_image.h"

#include <cstdlib>
#include <cstring>

#include "effects/bmp_format.h"

namespace {

constexpr long FILE_SIZE_AND_RESERVED_BYTES = 8;

struct dibHeader {
    std::uint32_t pixel_offset;
    std::int32_t width;
    std::int32_t rows;
    bool top_down;  // a negative height in the file
};

bool read_header(std::FILE* file, dibHeader& header) {
    std::uint16_t signature = 0;
    std::uint32_t info_size = 0;
    std::int32_t height = 0;
    std::uint16_t planes = 0;
    std::uint16_t bits_per_pixel = 0;
    std::uint32_t compression = 0;
    if (!read_u16(file, signature) || signature != BMP_SIGNATURE) return false;
    if (!skip_bytes(file, FILE_SIZE_AND_RESERVED_BYTES)) return false;
    if (!read_u32(file, header.pixel_offset) || !read_u32(file, info_size)) return false;
    // Older, shorter headers lay their fields out differently.
    if (info_size < BMP_INFO_HEADER_SIZE) return false;
    if (!read_i32(file, header.width) || !read_i32(file, height)) return false;
    if (!read_u16(file, planes) || planes != BMP_PLANES) return false;
    if (!read_u16(file, bits_per_pixel) || bits_per_pixel != BMP_BITS_PER_PIXEL) return false;
    if (!read_u32(file, compression) || compression != BMP_COMPRESSION_NONE) return false;
    if (height == INT32_MIN) return false;
    header.top_down = height < 0;
    header.rows = header.top_down ? -height : height;
    return true;
}

// Reads the rows into `pixels`, packed and bottom row first.
bool read_rows(std::FILE* file, const dibHeader& header, unsigned char* pixels) {
    const std::size_t row_bytes = static_cast<std::size_t>(header.width) * BMP_BYTES_PER_PIXEL;
    const long filler = static_cast<long>((BMP_ROW_ALIGNMENT - row_bytes % BMP_ROW_ALIGNMENT) %
                                          BMP_ROW_ALIGNMENT);
    if (!seek_to(file, header.pixel_offset)) return false;
    for (std::int32_t row = 0; row < header.rows; ++row) {
        const std::int32_t target = header.top_down ? header.rows - 1 - row : row;
        unsigned char* dest = pixels + static_cast<std::size_t>(target) * row_bytes;
        if (std::fread(dest, 1, row_bytes, file) != row_bytes) return false;
        if (filler != 0 && row + 1 < header.rows && !skip_bytes(file, filler)) return false;
    }
    return true;
}

}  // namespace

dibImage* read_dib_image(const char* path) {
    if (path == nullptr) return nullptr;
    ownedFile file = open_regular_file(path, "rb");
    if (!file) return nullptr;
    dibHeader header{};
    if (!read_header(file.get(), header)) return nullptr;
    const std::size_t size = checked_image_bytes(header.width, header.rows);
    if (size == 0) return nullptr;

    auto* image = static_cast<dibImage*>(std::malloc(sizeof(dibImage)));
    auto* pixels = static_cast<unsigned char*>(std::malloc(size));
    if (image == nullptr || pixels == nullptr || !read_rows(file.get(), header, pixels)) {
        std::free(pixels);
        std::free(image);
        return nullptr;
    }
    swap_blue_and_red(pixels, size);
    image->sizeX = header.width;
    image->sizeY = header.rows;
    image->data = pixels;
    return image;
}
