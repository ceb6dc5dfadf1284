#include "effects/bmp.h"

#include <cstdlib>

#include "effects/bmp_format.h"

namespace {

constexpr long FILE_SIZE_AND_RESERVED_BYTES = 8;
constexpr long HEADER_SIZE_BYTES = 4;

// Rows are taken as one packed block and uploaded with GL's default row
// alignment, which only agrees with the file when no row has filler.
bool rows_are_packed(std::int32_t width) {
    return (static_cast<long long>(width) * BMP_BYTES_PER_PIXEL) % BMP_ROW_ALIGNMENT == 0;
}

}  // namespace

int loadBMP(const char* path, textureImage* image) {
    if (path == nullptr || image == nullptr) return 0;
    ownedFile file = open_regular_file(path, "rb");
    if (!file) return 0;

    std::uint16_t signature = 0;
    if (!read_u16(file.get(), signature) || signature != BMP_SIGNATURE) return 0;
    if (!skip_bytes(file.get(), FILE_SIZE_AND_RESERVED_BYTES)) return 0;
    std::uint32_t pixel_offset = 0;
    if (!read_u32(file.get(), pixel_offset)) return 0;
    if (!skip_bytes(file.get(), HEADER_SIZE_BYTES)) return 0;
    if (!read_i32(file.get(), image->width) || !read_i32(file.get(), image->height)) return 0;
    std::uint16_t planes = 0;
    std::uint16_t bits_per_pixel = 0;
    if (!read_u16(file.get(), planes) || planes != BMP_PLANES) return 0;
    if (!read_u16(file.get(), bits_per_pixel) || bits_per_pixel != BMP_BITS_PER_PIXEL) return 0;

    const std::size_t size = checked_image_bytes(image->width, image->height);
    if (size == 0 || !rows_are_packed(image->width)) return 0;

    auto* pixels = static_cast<unsigned char*>(std::malloc(size));
    if (pixels == nullptr) return 0;
    if (!seek_to(file.get(), pixel_offset) || std::fread(pixels, 1, size, file.get()) != size) {
        std::free(pixels);
        return 0;
    }
    swap_blue_and_red(pixels, size);
    image->data = pixels;
    return 1;
}
