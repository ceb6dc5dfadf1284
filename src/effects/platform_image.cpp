#include "effects/platform_image.h"

#include "effects/bmp_format.h"

platformImage* LoadBMP(const char* path) {
    if (path == nullptr) return nullptr;
    // Only a regular file is handed on: the loader would block on a FIFO.
    if (!open_regular_file(path, "r")) return nullptr;
#if GRAINVOX_HAVE_GLAUX
    return auxDIBImageLoadA(path);
#else
    return read_dib_image(path);
#endif
}
