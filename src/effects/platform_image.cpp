#include "effects/platform_image.h"

#include <cstdio>

platformImage* LoadBMP(const char* path) {
    if (path == nullptr) return nullptr;
    std::FILE* file = std::fopen(path, "r");
    if (file == nullptr) return nullptr;
    std::fclose(file);
#if GRAINVOX_HAVE_GLAUX
    return auxDIBImageLoadA(path);
#else
    return read_dib_image(path);
#endif
}
