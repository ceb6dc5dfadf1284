#pragma once

// Everything the page does before its first frame: the canvas's GL context,
// the callbacks, the renderer with the fire's texture, the fountains, the
// start values, the world and the selected material.
void start_page(int* argc, char** argv);

// Hands control to GLUT's loop, which draws on the browser's frames.
void run_page();
