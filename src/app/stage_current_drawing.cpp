// The current program's frame: the cells, paused or running, and what is
// written after the material name; drawn with fixed-function GL.
#include <chrono>
#include <string>

#include "app/additions.h"
#include "app/app_state.h"
#include "app/frame.h"
#include "app/messages.h"
#include "app/overlay.h"
#include "app/stage.h"
#include "render/fixed_function/fast_renderer.h"

namespace {
constexpr const char* STATUS_GAP = "   ";
}  // namespace

// With the overlay on, the cells' time is measured, and the part of it that
// went to handing them to GL.
void draw_stage_cells() {
    const bool steps = frame_steps_world();
    fast_renderer& renderer = cell_renderer();
    renderer.measure_drawing(overlay_on);
    const auto start = overlay_on ? std::chrono::steady_clock::now() : std::chrono::steady_clock::time_point{};
    draw_scene_and_cells(steps);
    if (overlay_on)
        overlay_frame_drawn(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(),
                            renderer.drawing_seconds());
}

// Whether the world is paused, and the latest message, written on from
// where the material name ends; then the overlay.
void draw_stage_status() {
    if (paused) write_characters((std::string(STATUS_GAP) + "paused").c_str());
    const std::string& message = message_at(std::chrono::steady_clock::now());
    if (!message.empty()) write_characters((STATUS_GAP + message).c_str());
    draw_overlay();
}
