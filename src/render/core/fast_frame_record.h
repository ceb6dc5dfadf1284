#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

#include "sim/world.h"

// What one frame's sweep asks to be drawn, in the order it asks, so that the
// drawing can be batched after the sweep without changing its order.

// How a drawn cell covers what lies behind it.
enum class cell_look : std::uint8_t {
    none,         // not drawn this frame
    opaque,       // alpha 1: replaces the colour under it
    see_through,  // blended, and writes depth wherever it passes the alpha test
    faint,        // blended, near the alpha test's cut: trusted to hide nothing
    fountain,     // a burning cell: particles that leave no depth
};

// Position of cell (x, y, z) in the sweep's order: a cell with a smaller key
// is stepped and drawn earlier in the frame.
constexpr int sweep_key(int x, int y, int z) { return (y * GRID_X + x) * GRID_Z + z; }

struct cell_draw {
    float red, green, blue, alpha;  // the cell's colour before its step, as GL gets it
    std::int16_t x, y, z;
    std::int16_t fountain;  // the fountain picked for a burning cell, else NO_FOUNTAIN
};

constexpr std::int16_t NO_FOUNTAIN = -1;

cell_look look_of(float alpha, bool burning);
inline bool blended(cell_look look) { return look == cell_look::see_through || look == cell_look::faint; }

// The draw of cell (x, y, z) as it was before its step, with the fountain
// picked for it (NO_FOUNTAIN when it is not burning).
cell_draw draw_of(const ParticleType& before, int x, int y, int z, int fountain);

class frame_record {
public:
    frame_record();

    // Steps the world by one frame exactly as the plain sweep does (the same
    // rand() draws at the same moments) and records the frame's draws.
    void sweep(world& w) { sweep(w, nullptr); }
    // The same, telling `settled(n)` as soon as the first n draws, and every
    // cell they touch, are recorded for good, so that they can be drawn while
    // the sweep goes on: a cell touches the next layer at most, so a layer is
    // settled once the sweep is two layers above it. Called last with all the
    // frame's draws.
    void sweep(world& w, const std::function<void(std::size_t)>& settled);
    // The same for a frame in which the world stands still: every cell is
    // recorded as it stands and none is stepped; a burning cell still draws
    // its fountain from rand(), but the pick is not written to the world.
    void record_still(const world& w) { record_still(w, nullptr); }
    void record_still(const world& w, const std::function<void(std::size_t)>& settled);

    const std::vector<cell_draw>& draws() const { return draws_; }
    cell_look look(int key) const { return looks_[key]; }
    // Blended cube draws of this frame that come before the cell with this key;
    // meaningful only for cells drawn this frame.
    std::uint32_t blended_before(int key) const { return blended_before_[key]; }

private:
    template <bool Steps, class World>
    void record(World& w, const std::function<void(std::size_t)>& settled);

    std::vector<cell_draw> draws_;
    std::vector<cell_look> looks_;
    std::vector<std::uint32_t> blended_before_;
};
