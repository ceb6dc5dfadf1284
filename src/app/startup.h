#pragma once

// Opening the window and fixing the state that holds for the whole run.

constexpr int WINDOW_POS_X = 10;
constexpr int WINDOW_POS_Y = 10;

// Hands the command line to GLUT and opens the program's one window.
void open_window(int* argc, char** argv);

// Registers the GLUT callbacks of the program.
void register_callbacks();

// Sets the fixed-function GL state: culling, depth, lighting, blending, alpha test.
void init_gl_state();

// Makes the five fountains; needs the window's GL context.
void create_fountains();

// Everything the program does before entering GLUT's loop, in its order:
// the window, the callbacks, the GL state, the fountains, the start values,
// the world and the selected material.
void start_program(int* argc, char** argv);

// Reshape callback: viewport and perspective for the new window size.
void resize(int width, int height);

// Idle callback: draws frame after frame.
void idle();
