#include "sim/sleep_map.h"

#include <algorithm>

#include "sim/world.h"

namespace {

static_assert(sleep_map::BLOCKS_X * BLOCK_EDGE == GRID_X && sleep_map::BLOCKS_Y * BLOCK_EDGE == GRID_Y &&
                  sleep_map::BLOCKS_Z * BLOCK_EDGE == GRID_Z,
              "blocks tile the box");

constexpr std::uint64_t MOMENT_STRIDE = GRID_Y + 1;

template <class Moments>
void fill_moments(Moments& moments, std::uint64_t moment) {
    std::fill(&moments[0][0][0], &moments[0][0][0] + sleep_map::BLOCKS_Y * sleep_map::BLOCKS_X * sleep_map::BLOCKS_Z,
              moment);
}

}  // namespace

// Before any walk, the moment is that of the end of walk "-1".
sleep_map::sleep_map() : now_(GRID_Y) {
    wake_all();
    fill_moments(burning_, 0);
}

void sleep_map::wake_all() {
    fill_moments(disturbed_, now_);
}

sleep_map::thresholds sleep_map::enter_layer(std::uint64_t walk, int y) {
    now_ = (walk + 1) * MOMENT_STRIDE + std::uint64_t(y);
    return {last_sweep_ * MOMENT_STRIDE + std::uint64_t(y), walk * MOMENT_STRIDE + std::uint64_t(y)};
}

bool sleep_map::burnt_since(int block, std::uint64_t walk) const {
    return flat(burning_)[block] >= (walk + 1) * MOMENT_STRIDE;
}

void sleep_map::end_walk(std::uint64_t walk, bool stepped) {
    if (stepped) last_sweep_ = walk + 1;
    now_ = (walk + 1) * MOMENT_STRIDE + GRID_Y;
}
