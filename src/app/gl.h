#pragma once

// The windowing and GL headers, in the order every platform accepts
// (freeglut brings in what Windows' gl.h needs first).
#include <GL/glut.h>
#include <GL/glu.h>
