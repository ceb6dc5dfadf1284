#pragma once

#include <array>
#include <cstdint>

// Which blocks of cells the frame walks may pass over. A cell's step reads
// and writes only the cell and its 26 neighbours, and draws rand() only
// through world::choose; so a step that changed nothing and drew nothing
// does the same again as long as nothing within one cell of it changes. Per
// block the map keeps two moments: when a cell within one cell of the block
// last changed or a step in it drew a number, and when the last burning cell
// in it was handed over.
//
// Moments count walks and their layers: the walk numbered k is at moment
// (k + 1) * stride + y in layer y, and (k + 1) * stride + GRID_Y once it is
// over, until the next walk; stride is GRID_Y + 1. A moment before the
// threshold of layer y came before the walk in question reached layer y.

constexpr int BLOCK_EDGE = 10;
constexpr int READ_RADIUS = 1;  // how far from its own cell a step reads or writes

// Along one axis, for one coordinate: its block, and the neighbouring block
// holding cells within `radius` of it (its own block again when none does;
// blocks are wide enough for there to be one at most).
struct axis_blocks {
    int own, beside;
};

template <int BLOCKS, int RADIUS>
constexpr std::array<axis_blocks, BLOCKS * BLOCK_EDGE> blocks_along_axis() {
    static_assert(BLOCK_EDGE > 2 * RADIUS, "one neighbouring block at most");
    constexpr int cells = BLOCKS * BLOCK_EDGE;
    std::array<axis_blocks, cells> blocks{};
    for (int v = 0; v < cells; ++v) {
        const int own = v / BLOCK_EDGE;
        int beside = own;
        if (v - RADIUS >= 0 && (v - RADIUS) / BLOCK_EDGE != own) beside = own - 1;
        if (v + RADIUS < cells && (v + RADIUS) / BLOCK_EDGE != own) beside = own + 1;
        blocks[v] = {own, beside};
    }
    return blocks;
}

// The blocks within `radius` of one cell, axis by axis.
template <int RADIUS>
struct blocks_near {
    static constexpr int BLOCKS_X = 10, BLOCKS_Y = 5, BLOCKS_Z = 10;
    static constexpr auto X = blocks_along_axis<BLOCKS_X, RADIUS>();
    static constexpr auto Y = blocks_along_axis<BLOCKS_Y, RADIUS>();
    static constexpr auto Z = blocks_along_axis<BLOCKS_Z, RADIUS>();
};

class sleep_map {
public:
    static constexpr int BLOCKS_X = blocks_near<0>::BLOCKS_X;
    static constexpr int BLOCKS_Y = blocks_near<0>::BLOCKS_Y;
    static constexpr int BLOCKS_Z = blocks_near<0>::BLOCKS_Z;

    // How far back the current walk may look, in its current layer.
    struct thresholds {
        std::uint64_t last_sweep;  // the last sweep reached this layer
        std::uint64_t last_walk;   // the previous walk (sweep or still) reached it
    };

    sleep_map();

    // Cell (x, y, z) changed: every block whose cells read it is stepped
    // again until a sweep passes it quietly.
    void note_change(int x, int y, int z) { note<0>(x, y, z); }
    // The step of cell (x, y, z) changed cells (all within READ_RADIUS of
    // it) or drew a number.
    void note_step(int x, int y, int z) { note<READ_RADIUS>(x, y, z); }
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
    // previous walk reached them (nothing near them changed since), and none
    // of them burns.
    bool unchanged_and_cold(int block_x, int block_y, int block_z, const thresholds& t) const {
        return disturbed_[block_y][block_x][block_z] < t.last_walk && burning_[block_y][block_x][block_z] < t.last_walk;
    }

    // For a block numbered (block_y * BLOCKS_X + block_x) * BLOCKS_Z + block_z:
    // between walks, whether a cell near it was written since the last walk;
    bool written_since_walk(int block) const { return flat(disturbed_)[block] >= now_; }
    // whether a burning cell of it was handed over in the walk numbered `walk` or later;
    bool burnt_since(int block, std::uint64_t walk) const;
    // and that it must be walked again in every walk until one passes it quietly.
    void disturb(int block) { flat(disturbed_)[block] = now_; }

private:
    // Cells within `reach` of (x, y, z) may have changed: the blocks within
    // READ_RADIUS of them are disturbed. Inline and without branches, since
    // every changing step calls it; where a cell has no neighbouring block
    // on an axis the stores fall on its own block again.
    template <int REACH>
    void note(int x, int y, int z) {
        using read = blocks_near<REACH + READ_RADIUS>;
        const axis_blocks &bx = read::X[x], &by = read::Y[y], &bz = read::Z[z];
        disturbed_[by.own][bx.own][bz.own] = now_;
        disturbed_[by.own][bx.own][bz.beside] = now_;
        disturbed_[by.own][bx.beside][bz.own] = now_;
        disturbed_[by.own][bx.beside][bz.beside] = now_;
        disturbed_[by.beside][bx.own][bz.own] = now_;
        disturbed_[by.beside][bx.own][bz.beside] = now_;
        disturbed_[by.beside][bx.beside][bz.own] = now_;
        disturbed_[by.beside][bx.beside][bz.beside] = now_;
    }

    using block_moments = std::uint64_t[BLOCKS_Y][BLOCKS_X][BLOCKS_Z];
    static std::uint64_t* flat(block_moments& m) { return &m[0][0][0]; }
    static const std::uint64_t* flat(const block_moments& m) { return &m[0][0][0]; }

    std::uint64_t now_;
    std::uint64_t last_sweep_ = 0;  // 1 + number of the last sweep; 0: none yet
    block_moments disturbed_;
    block_moments burning_;
};
