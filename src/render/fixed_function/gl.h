#pragma once

// GL, and the GLUT solids whose triangles the cells are drawn with (freeglut
// brings in what Windows' gl.h needs first).
#include <GL/glut.h>
