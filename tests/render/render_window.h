#pragma once

#include <vector>

// The test window: the program's size and GL state, and its fountains.
constexpr int RENDER_WIDTH = 640;
constexpr int RENDER_HEIGHT = 480;

// The back buffer's pixels, RGB, bottom row first, as GL gives them.
std::vector<unsigned char> read_back_pixels();
