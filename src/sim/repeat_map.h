#pragma once

#include <cstdint>
#include <vector>

#include "sim/sleep_map.h"

class world;
struct ParticleType;

// Groups of blocks that the sweep may pass over although their cells change
// within every frame: a deep pool's pressure tokens, handed on and dropped in
// each sweep, end every frame as they began it.
//
// A group is a connected set of blocks (touching at a face, edge or corner)
// that the last sweep walked or wrote, with no block walked or written beside
// it. When that sweep drew no number in it, burnt nothing in it, and left
// every cell of it as it found them, the next sweep does exactly the same
// there: the group's cells and the cells one around it start as they did,
// and nothing else reads or writes within one cell of it. So the sweep passes
// the group over, frame after frame, and the world after each frame is the
// plain sweep's.
//
// A group stops repeating when the world is written near it between sweeps
// (the pen, a load), when a walk that steps nothing comes, or when the sweep
// is about to walk a block beside it. In that last case the group's steps that
// the sweep has passed in this frame are made first, in their order: nothing
// they read or write was touched since, so they do what they would have done.
class repeat_map {
public:
    static constexpr int BLOCKS_X = sleep_map::BLOCKS_X;
    static constexpr int BLOCKS_Y = sleep_map::BLOCKS_Y;
    static constexpr int BLOCKS_Z = sleep_map::BLOCKS_Z;
    static constexpr int BLOCKS = BLOCKS_X * BLOCKS_Y * BLOCKS_Z;

    repeat_map();
    ~repeat_map();
    repeat_map(const repeat_map&) = delete;
    repeat_map& operator=(const repeat_map&) = delete;

    static int block_index(int block_x, int block_y, int block_z) {
        return (block_y * BLOCKS_X + block_x) * BLOCKS_Z + block_z;
    }

    // The sweep passes this block over: its group repeats.
    bool repeating(int block) const { return group_[block] != NO_GROUP; }
    // A repeating group lies within one block of this one.
    bool beside_repeating(int block) const { return beside_group_[block]; }

    // The sweep walks this block's part of a row.
    void note_walked(int block) { walked_[block] = tag_; }
    // The step of cell (x, y, z) changed cells within one cell of it; `drew`:
    // it drew a number; `moved`: it moved a particle.
    void note_step(int x, int y, int z, bool drew, bool moved);
    // Before a sweep: groups written near since the last walk stop
    // repeating, as do snapshots of blocks written since.
    void begin_sweep(sleep_map& sleep, std::uint64_t walk);
    // After a sweep: the groups it leaves repeating.
    void end_sweep(world& w);
    // Before a walk that steps nothing: no group repeats any more, and every
    // block that one held is walked again.
    void begin_still(sleep_map& sleep);

    // The sweep, at cell row (x, y) and the part of it in block_z, is about to
    // walk a block beside repeating groups: their steps passed over in this
    // frame are made, and the groups are walked from here on.
    void catch_up(world& w, int x, int y, int block_z);

private:
    static constexpr std::int16_t NO_GROUP = -1;

    bool in_last_sweep(int block) const { return walked_[block] == tag_ || written_[block] == tag_; }
    // The block was copied at the end of the sweep right before this one.
    bool copied_by_last_sweep(int block) const { return snapshot_tag_[block] != 0 && snapshot_tag_[block] + 1 == tag_; }
    bool left_as_found(const world& w, int block) const;
    bool may_repeat(const world& w, int block) const;
    void take_snapshot(const world& w, int block);
    void dissolve(int group, sleep_map& sleep);
    void mark_beside_groups();

    std::uint64_t tag_ = 0;  // 1 + number of the current (or last) sweep
    std::uint64_t walked_[BLOCKS] = {};
    std::uint64_t written_[BLOCKS] = {};
    std::uint64_t drew_[BLOCKS] = {};
    std::uint64_t moved_[BLOCKS] = {};  // a moving particle seldom comes back: no copy is worth it
    // A group is numbered by its first block; NO_GROUP where none repeats.
    std::int16_t group_[BLOCKS];
    bool beside_group_[BLOCKS] = {};
    std::vector<int> members_;  // the group being gathered, kept for its storage

    // Each block's cells as the sweep that took the snapshot left them, in
    // runs of equal cells (a pool's cells are mostly alike); valid for the
    // next sweep only, and only while nothing is written there.
    struct snapshot {
        std::vector<ParticleType> cells;
        std::vector<std::uint16_t> run_lengths;
    };
    snapshot snapshot_[BLOCKS];
    std::uint64_t snapshot_tag_[BLOCKS] = {};
    // A block that changed over a sweep waits longer each time before it is
    // copied again, so that busy blocks cost no copies.
    std::uint8_t misses_[BLOCKS] = {};
    std::uint64_t copy_again_at_[BLOCKS] = {};
};
