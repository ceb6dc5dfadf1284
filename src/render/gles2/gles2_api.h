#pragma once

// OpenGL ES 2's functions: WebGL's under emscripten, and the same entry
// points of desktop GL 2 elsewhere, so that the drawing can be checked
// natively.
#if defined(__EMSCRIPTEN__)
#include <GLES2/gl2.h>
#else
#define GL_GLEXT_PROTOTYPES 1
#include <GL/gl.h>
#include <GL/glext.h>
#endif
