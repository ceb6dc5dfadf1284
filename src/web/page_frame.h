#pragma once

#include <cstdint>
#include <vector>

#include "render/core/view_math.h"

// The page's frame: the pen, the camera, one sweep of the world drawn with
// WebGL, the status beside the canvas, the fountains; then the next frame is
// asked for.

// Makes the renderer, with the fire's image (rows bottom up, 4-byte aligned)
// or none (nullptr).
void start_page_renderer(int image_width, int image_height, const unsigned char* rgb);

// GLUT's display callback.
void display_page();

// GLUT's reshape callback.
void resize_page(int width, int height);

// The camera and window the last frame was drawn with (before the first
// frame, those of the current state).
frame_view last_frame_view();

// Frames drawn since the page started.
long frames_drawn();
// Frames whose picture was drawn; a frame that would draw the last picture again leaves it.
long pictures_drawn();

// The next frame keeps a copy of its picture: width x height RGBA pixels,
// rows bottom up.
void capture_next_frame();
// The last picture kept; empty until a frame has kept one.
const std::vector<std::uint8_t>& captured_frame();
int captured_width();
int captured_height();
