#include "app/overlay.h"

#include <chrono>
#include <cstdio>

#include "app/app_state.h"

namespace {

using overlay_clock = std::chrono::steady_clock;

// What the frames of the period so far add up to.
struct overlay_period {
    bool started = false;
    overlay_clock::time_point start;
    int frames = 0;
    double cells_seconds = 0.0;
    double drawing_seconds = 0.0;
};

overlay_period period;
bool have_figures = false;
overlay_figures latest;

constexpr double MS_PER_SECOND = 1000.0;

std::array<int, TYPE_COUNT> count_live_cells(const world& w) {
    std::array<int, TYPE_COUNT> counts{};
    for (int x = 0; x < GRID_X; ++x)
        for (int y = 0; y < GRID_Y; ++y)
            for (int z = 0; z < GRID_Z; ++z) ++counts[w.grid[x][y][z].id];
    return counts;
}

}  // namespace

void toggle_overlay() {
    overlay_on = !overlay_on;
    period = overlay_period{};
    have_figures = false;
}

void overlay_frame_drawn(double cells_seconds, double drawing_seconds) {
    const overlay_clock::time_point now = overlay_clock::now();
    if (!period.started) {
        // The first frame only starts the clock: its own start is unknown.
        period.started = true;
        period.start = now;
        return;
    }
    ++period.frames;
    period.cells_seconds += cells_seconds;
    period.drawing_seconds += drawing_seconds;
    const double elapsed = std::chrono::duration<double>(now - period.start).count();
    if (elapsed < OVERLAY_PERIOD_SECONDS) return;

    const double frames = period.frames;
    latest.frames_per_second = frames / elapsed;
    latest.sweep_ms = (period.cells_seconds - period.drawing_seconds) / frames * MS_PER_SECOND;
    latest.drawing_ms = elapsed / frames * MS_PER_SECOND - latest.sweep_ms;
    latest.live_cells = count_live_cells(*w);
    have_figures = true;
    period.start = now;
    period.frames = 0;
    period.cells_seconds = period.drawing_seconds = 0.0;
}

const overlay_figures* overlay_latest() { return have_figures ? &latest : nullptr; }

std::vector<std::string> overlay_lines(const overlay_figures* figures) {
    std::vector<std::string> lines;
    if (figures == nullptr) {
        lines.push_back("measuring...");
    } else {
        char timing[128];
        std::snprintf(timing, sizeof timing, "%.1f fps, %.1f ms a frame: sweep %.1f ms, drawing %.1f ms",
                      figures->frames_per_second, figures->sweep_ms + figures->drawing_ms, figures->sweep_ms,
                      figures->drawing_ms);
        lines.push_back(timing);
    }
    lines.push_back(std::string(paused ? "paused" : "running") + ", pen " + std::to_string(pen_size) + " at (" +
                    std::to_string(point_x) + ", " + std::to_string(point_y) + ", " + std::to_string(point_z) + ")");
    if (figures == nullptr) return lines;
    int live = 0;
    for (int id = 0; id < TYPE_COUNT; ++id)
        if (id != TYPE_ERASER) live += figures->live_cells[id];
    lines.push_back("live cells " + std::to_string(live));
    for (int id = 0; id < TYPE_COUNT; ++id)
        if (id != TYPE_ERASER)
            lines.push_back(std::string(w->types[id].name) + " " + std::to_string(figures->live_cells[id]));
    return lines;
}
