#pragma once

// The GL header of the platform; Windows' needs its own header first.
#ifdef _WIN32
#include <windows.h>
#endif
#include <GL/gl.h>
