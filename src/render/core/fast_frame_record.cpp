#include "render/core/fast_frame_record.h"

#include "render/core/cell_drawing.h"
#include "sim/sweep.h"

namespace {

constexpr float OPAQUE_ALPHA = 1.0f;
// The alpha test discards alpha 0.1 and below; a cell must be clearly above
// it before we rely on its depth hiding anything.
constexpr float DEPTH_WRITING_ALPHA = 0.105f;

// A cell's faces meet the cells beside it, up to one layer above.
constexpr int LAYERS_TO_SETTLE = 2;

}  // namespace

cell_draw draw_of(const ParticleType& before, int x, int y, int z, int fountain) {
    cell_draw draw;
    draw.red = static_cast<float>(before.red);
    draw.green = static_cast<float>(before.green);
    draw.blue = static_cast<float>(before.blue);
    draw.alpha = static_cast<float>(before.alpha);
    draw.x = static_cast<std::int16_t>(x);
    draw.y = static_cast<std::int16_t>(y);
    draw.z = static_cast<std::int16_t>(z);
    draw.fountain = static_cast<std::int16_t>(fountain);
    return draw;
}

cell_look look_of(float alpha, bool burning) {
    if (burning) return cell_look::fountain;
    if (alpha >= OPAQUE_ALPHA) return cell_look::opaque;
    if (alpha > DEPTH_WRITING_ALPHA) return cell_look::see_through;
    return cell_look::faint;
}

frame_record::frame_record() : looks_(GRID_CELLS, cell_look::none), blended_before_(GRID_CELLS, 0) {}

void frame_record::sweep(world& w, const std::function<void(std::size_t)>& settled) {
    record<true>(w, settled);
}

void frame_record::record_still(const world& w, const std::function<void(std::size_t)>& settled) {
    record<false>(w, settled);
}

template <bool Steps, class World>
void frame_record::record(World& w, const std::function<void(std::size_t)>& settled) {
    // Only the cells drawn last frame have a look to forget.
    for (const cell_draw& old : draws_) looks_[sweep_key(old.x, old.y, old.z)] = cell_look::none;
    draws_.clear();
    std::uint32_t blended_so_far = 0;
    std::size_t settled_draws = 0;
    // Settling is told at layer starts, so that an upper box with few cells
    // or none still hands the layers below it to GL early.
    const auto start_layer = [&](int y) {
        if (!settled) return;
        const std::size_t before_count = settled_draws;
        while (settled_draws < draws_.size() && draws_[settled_draws].y + LAYERS_TO_SETTLE <= y) ++settled_draws;
        if (settled_draws != before_count) settled(settled_draws);
    };
    const auto record_draw = [&](const ParticleType& before, int x, int y, int z) {
        const bool burning = is_burning(before);
        // The pick is drawn right after the cell's step, as the plain drawing
        // does; a still frame leaves it out of the world.
        int pick = NO_FOUNTAIN;
        if (burning) {
            if constexpr (Steps)
                pick = pick_fountain(w, x, y, z);
            else
                pick = random_fountain();
        }
        const cell_draw draw = draw_of(before, x, y, z, pick);

        const int key = sweep_key(x, y, z);
        const cell_look look = look_of(draw.alpha, burning);
        looks_[key] = look;
        blended_before_[key] = blended_so_far;
        if (blended(look)) ++blended_so_far;
        draws_.push_back(draw);
    };
    walk_cells<Steps>(w, record_draw, start_layer);
    if (settled && settled_draws != draws_.size()) settled(draws_.size());
}
