#pragma once

// The test window: the program's size and GL state, and its fountains.
constexpr int RENDER_WIDTH = 640;
constexpr int RENDER_HEIGHT = 480;
