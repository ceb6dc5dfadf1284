#include "effects/bmp_format.h"

#include <climits>
#include <utility>


namespace {

bool read_le(std::FILE* file, int bytes, std::uint32_t& value) {
    unsigned char buffer[4];
    if (std::fread(buffer, 1, static_cast<std::size_t>(bytes), file) !=
        static_cast<std::size_t>(bytes))
        return false;
    value = 0;
    for (int i = bytes - 1; i >= 0; --i) value = (value << 8) | buffer[i];
    return true;
}

}  // namespace

bool read_u16(std::FILE* file, std::uint16_t& value) {
    std::uint32_t wide = 0;
    if (!read_le(file, 2, wide)) return false;
    value = static_cast<std::uint16_t>(wide);
    return true;
}

bool read_u32(std::FILE* file, std::uint32_t& value) { return read_le(file, 4, value); }

bool read_i32(std::FILE* file, std::int32_t& value) {
    std::uint32_t bits = 0;
    if (!read_le(file, 4, bits)) return false;
    // Two's complement reinterpretation without relying on a narrowing cast.
    value = bits <= static_cast<std::uint32_t>(INT32_MAX)
                ? static_cast<std::int32_t>(bits)
                : -static_cast<std::int32_t>(~bits) - 1;
    return true;
}

bool skip_bytes(std::FILE* file, long count) { return std::fseek(file, count, SEEK_CUR) == 0; }

bool seek_to(std::FILE* file, std::uint32_t offset) {
    // long has 32 bits on some platforms.
    const unsigned long long wide_offset = offset;
    if (wide_offset > static_cast<unsigned long long>(LONG_MAX)) return false;
    return std::fseek(file, static_cast<long>(offset), SEEK_SET) == 0;
}

std::size_t checked_image_bytes(std::int32_t width, std::int32_t height) {
    if (width <= 0 || height <= 0) return 0;
    if (width > MAX_IMAGE_SIDE || height > MAX_IMAGE_SIDE) return 0;
    const std::size_t bytes = static_cast<std::size_t>(width) * static_cast<std::size_t>(height) *
                              BMP_BYTES_PER_PIXEL;
    return bytes <= MAX_IMAGE_BYTES ? bytes : 0;
}

void swap_blue_and_red(unsigned char* pixels, std::size_t bytes) {
    for (std::size_t i = 0; i + 2 < bytes; i += BMP_BYTES_PER_PIXEL) std::swap(pixels[i], pixels[i + 2]);
}
