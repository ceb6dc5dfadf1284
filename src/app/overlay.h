#pragma once

#include <array>
#include <string>
#include <vector>

#include "app/additions.h"
#include "sim/world.h"

// The information overlay (overlay_on): frames per second, the frame's time
// split into the sweep and the drawing, the live cells of each material,
// paused or running, the pen's size and cell. Its figures are averaged over
// about half a second. While it is off, nothing of it is measured or drawn.

constexpr double OVERLAY_PERIOD_SECONDS = 0.5;

struct overlay_figures {
    double frames_per_second;
    double sweep_ms;    // stepping and recording the cells, per frame
    double drawing_ms;  // the rest of the frame: handing the cells to GL, and all else
    std::array<int, TYPE_COUNT> live_cells;  // by material id; the Eraser's entry unused
};

// Turns the overlay on or off; on, it measures afresh.
void toggle_overlay();

// Told by each frame, while the overlay is on, how long the cells took and
// how much of that was handing them to GL.
void overlay_frame_drawn(double cells_seconds, double drawing_seconds);

// The latest figures, or nullptr until a period has been measured.
const overlay_figures* overlay_latest();

// The overlay's lines: the figures (when there are any) and the application state.
std::vector<std::string> overlay_lines(const overlay_figures* figures);

// Draws the overlay's lines at the top left of the window.
void draw_overlay();
