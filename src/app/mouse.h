#pragma once

// GLUT's numbers for the buttons the program reads.
constexpr int MOUSE_BUTTON_ZOOM_OUT = 4;
constexpr int MOUSE_BUTTON_ZOOM_IN = 5;

// Mouse-button callback: the left button pours, the right one orbits the
// camera, buttons 4 and 5 change the camera distance; then the pointer is
// handled as a motion.
void mouse(int button, int state, int x, int y);

// Pointer-motion callback (with and without a button held).
void pmouse(int x, int y);

// The button handling itself, without the motion that follows it.
void handle_button(int button, int state);

// The motion handling with the modifier keys given: records the pointer,
// then orbits the camera, raises or lowers the pen (Shift), or aims the pen
// at the surface under the pointer (no modifier). Ctrl alone moves nothing.
void handle_pointer(int x, int y, int modifiers);

// Moves the pen's x and z to the cell at the depth drawn under window pixel
// (x, y), counted from the top left. Returns false, leaving the pen as it
// was, when the pixel cannot be turned back into a point of the scene or the
// window no longer has the size the last frame was drawn at.
bool pick_cell(int x, int y);
