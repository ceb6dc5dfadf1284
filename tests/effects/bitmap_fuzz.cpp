// Feeds arbitrary bytes, as a file, to both bitmap readers. Anything may be
// refused; nothing may crash, overrun or leak.

#include <stdlib.h>  // mkstemp
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "effects/bmp.h"
#include "effects/dib_image.h"

namespace {

// In TMPDIR, which the test command points at a folder it removes afterwards.
const std::string& input_path() {
    static const std::string path = [] {
        const char* folder = std::getenv("TMPDIR");
        std::string pattern = std::string(folder != nullptr && *folder != '\0' ? folder : "/tmp") +
                              "/grainvox-fuzz-XXXXXX";
        const int fd = mkstemp(pattern.data());
        if (fd < 0) std::abort();
        close(fd);
        return pattern;
    }();
    return path;
}

void check_pixels(const unsigned char* data, std::int32_t width, std::int32_t height) {
    // Touch every byte a caller would read, so an overrun shows.
    volatile unsigned sum = 0;
    const std::size_t bytes = static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 3;
    for (std::size_t i = 0; i < bytes; ++i) sum = sum + data[i];
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
    const std::string& path = input_path();
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) std::abort();
    std::fwrite(bytes, 1, size, file);
    std::fclose(file);

    textureImage image{0, 0, nullptr};
    if (loadBMP(path.c_str(), &image) == 1) {
        if (image.data == nullptr || image.width <= 0 || image.height <= 0) std::abort();
        check_pixels(image.data, image.width, image.height);
    }
    std::free(image.data);

    if (dibImage* dib = read_dib_image(path.c_str())) {
        if (dib->data == nullptr || dib->sizeX <= 0 || dib->sizeY <= 0) std::abort();
        check_pixels(dib->data, dib->sizeX, dib->sizeY);
        std::free(dib->data);
        std::free(dib);
    }
    return 0;
}
