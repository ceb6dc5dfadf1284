#pragma once

// The earlier stage loads its image through the platform's DIB loader where
// the build has it, and through our stand-in otherwise.

#if GRAINVOX_HAVE_GLAUX
#include <windows.h>
#include <GL/glaux.h>
using platformImage = AUX_RGBImageRec;
#else
#include "effects/dib_image.h"
using platformImage = dibImage;
#endif

// Row alignment of the pixel rows that the loader hands back, for the upload.
#if GRAINVOX_HAVE_GLAUX
constexpr int PLATFORM_IMAGE_ROW_ALIGNMENT = 4;
#else
constexpr int PLATFORM_IMAGE_ROW_ALIGNMENT = 1;
#endif

// Null for a null path or a file that cannot be opened; otherwise whatever the
// loader returns. The caller frees `data` and the record with free.
platformImage* LoadBMP(const char* path);
