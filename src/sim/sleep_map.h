#pragma once

#include <cstdint>

// Which blocks of cells the frame walks may pass over. A cell's step reads
// and writes only the cell and its 26 neighbours, and draws rand() only
// through world::choose; so a step that changed nothing and drew nothing
// does the same again as long as nothing within one cell of it changes. Per
// block the map keeps moments: when a cell within one cell of the block
// last changed or a step in it drew a number, when one of its own cells
// last changed, and when the last burning cell in it was handed over.
//
// Moments count walks and their layers: the walk numbered k is at moment
// (k + 1) * stride + y in layer y, and (k + 1) * stride + GRID_Y once it is
// over, until the next walk; stride is GRID_Y + 1. A moment before the
// threshold of layer y came before the walk in question reached layer y.

constexpr int BLOCK_EDGE = 10;
constexpr int READ_RADIUS = 1;  // how far from its own cell a step reads or writes

class sleep_map {
public:
    static constexpr int BLOCKS_X = 10;
    static constexpr int BLOCKS_Y = 5;
    static constexpr int BLOCKS_Z = 10;

    // How far back the current walk may look, in its current layer.
    struct thresholds {
        std::uint64_t last_sweep;  // the last sweep reached this layer
        std::uint64_t last_walk;   // the previous walk (sweep or still) reached it
    };

    sleep_map();

    // A cell changed, or the step of a cell drew a number: every block whose
    // cells read it is stepped again until a sweep passes it quietly.
    void note_change(int x, int y, int z);
    void note_draw(int x, int y, int z);
    // A burning cell of this block was handed over in the current walk.
    void note_burning(int block_x, int block_y, int block_z) { burning_[block_y][block_x][block_z] = now_; }
    // The whole box was written (a scene load, a reset in place).
    void wake_all();

    // The walk numbered `walk` enters layer y; it returns that layer's thresholds.
    thresholds enter_layer(std::uint64_t walk, int y);
    // The walk has ended; `stepped` says it was a sweep.
    void end_walk(std::uint64_t walk, bool stepped);

    // Stepping this block's cells in the current layer would change nothing
    // and draw nothing: nothing within one cell of them changed since the
    // last sweep stepped them.
    bool asleep(int block_x, int block_y, int block_z, const thresholds& t) const {
        return disturbed_[block_y][block_x][block_z] < t.last_sweep;
    }
    // This block's cells in the current layer hold what they held when the
    // previous walk reached them, and none of them burns.
    bool unchanged_and_cold(int block_x, int block_y, int block_z, const thresholds& t) const {
        return written_[block_y][block_x][block_z] < t.last_walk && burning_[block_y][block_x][block_z] < t.last_walk;
    }

private:
    using block_moments = std::uint64_t[BLOCKS_Y][BLOCKS_X][BLOCKS_Z];

    std::uint64_t now_;
    std::uint64_t last_sweep_ = 0;  // 1 + number of the last sweep; 0: none yet
    block_moments disturbed_;
    block_moments written_;
    block_moments burning_;
};
