#include "sim/repeat_map.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "sim/world.h"

namespace {

constexpr std::uint8_t MOST_MISSES = 5;  // a busy block is copied every 32 sweeps at most

struct block_place {
    int x, y, z;
};

block_place place_of(int block) {
    return {block / repeat_map::BLOCKS_Z % repeat_map::BLOCKS_X, block / (repeat_map::BLOCKS_Z * repeat_map::BLOCKS_X),
            block % repeat_map::BLOCKS_Z};
}

// Calls visit(neighbour) for every block touching `block`, itself included.
template <class Visit>
void for_each_block_around(int block, Visit&& visit) {
    const block_place b = place_of(block);
    for (int y = std::max(b.y - 1, 0); y <= std::min(b.y + 1, repeat_map::BLOCKS_Y - 1); ++y)
        for (int x = std::max(b.x - 1, 0); x <= std::min(b.x + 1, repeat_map::BLOCKS_X - 1); ++x)
            for (int z = std::max(b.z - 1, 0); z <= std::min(b.z + 1, repeat_map::BLOCKS_Z - 1); ++z)
                visit(repeat_map::block_index(x, y, z));
}

// Calls row(x, y, z) with the first cell of each of the block's rows of BLOCK_EDGE cells.
template <class Row>
void for_each_block_row(int block, Row&& row) {
    const block_place b = place_of(block);
    for (int x = b.x * BLOCK_EDGE; x < (b.x + 1) * BLOCK_EDGE; ++x)
        for (int y = b.y * BLOCK_EDGE; y < (b.y + 1) * BLOCK_EDGE; ++y) row(x, y, b.z * BLOCK_EDGE);
}

}  // namespace

repeat_map::repeat_map() {
    std::fill(std::begin(group_), std::end(group_), NO_GROUP);
    members_.reserve(BLOCKS);
}

repeat_map::~repeat_map() = default;

void repeat_map::note_step(int x, int y, int z, bool drew, bool moved) {
    using reach = blocks_near<READ_RADIUS>;
    const axis_blocks &bx = reach::X[x], &by = reach::Y[y], &bz = reach::Z[z];
    for (int block_y : {by.own, by.beside})
        for (int block_x : {bx.own, bx.beside})
            for (int block_z : {bz.own, bz.beside}) {
                const int block = block_index(block_x, block_y, block_z);
                written_[block] = tag_;
                if (moved) moved_[block] = tag_;
            }
    if (drew) drew_[block_index(bx.own, by.own, bz.own)] = tag_;
}

void repeat_map::begin_sweep(sleep_map& sleep, std::uint64_t walk) {
    bool written[BLOCKS];  // read before dissolving, which marks blocks as written
    for (int block = 0; block < BLOCKS; ++block) written[block] = sleep.written_since_walk(block);
    for (int block = 0; block < BLOCKS; ++block) {
        if (!written[block]) continue;
        snapshot_tag_[block] = 0;
        for_each_block_around(block, [&](int near) {
            if (group_[near] != NO_GROUP) dissolve(group_[near], sleep);
        });
    }
    mark_beside_groups();
    tag_ = walk + 1;
}

void repeat_map::begin_still(sleep_map& sleep) {
    for (int block = 0; block < BLOCKS; ++block)
        if (group_[block] != NO_GROUP) dissolve(group_[block], sleep);
    mark_beside_groups();
}

void repeat_map::dissolve(int group, sleep_map& sleep) {
    for (int block = 0; block < BLOCKS; ++block) {
        if (group_[block] != group) continue;
        group_[block] = NO_GROUP;
        sleep.disturb(block);
    }
}

void repeat_map::mark_beside_groups() {
    std::fill(std::begin(beside_group_), std::end(beside_group_), false);
    for (int block = 0; block < BLOCKS; ++block)
        if (group_[block] != NO_GROUP) for_each_block_around(block, [&](int near) { beside_group_[near] = true; });
}

bool repeat_map::left_as_found(const world& w, int block) const {
    if (written_[block] != tag_) return true;
    if (!copied_by_last_sweep(block)) return false;
    const snapshot& copy = snapshot_[block];
    std::size_t run = 0;
    int left_in_run = copy.run_lengths[0];
    bool same = true;
    for_each_block_row(block, [&](int x, int y, int z) {
        for (int cell = 0; cell < BLOCK_EDGE && same; ++cell) {
            if (left_in_run == 0) left_in_run = copy.run_lengths[++run];
            same = std::memcmp(&copy.cells[run], &w.grid[x][y][z + cell], sizeof(ParticleType)) == 0;
            --left_in_run;
        }
    });
    return same;
}

bool repeat_map::may_repeat(const world& w, int block) const {
    return drew_[block] != tag_ && !w.sleep.burnt_since(block, tag_ - 1);
}

void repeat_map::take_snapshot(const world& w, int block) {
    snapshot& copy = snapshot_[block];
    copy.cells.clear();
    copy.run_lengths.clear();
    for_each_block_row(block, [&](int x, int y, int z) {
        for (int cell = 0; cell < BLOCK_EDGE; ++cell) {
            const ParticleType& held = w.grid[x][y][z + cell];
            if (!copy.cells.empty() && std::memcmp(&copy.cells.back(), &held, sizeof held) == 0) {
                ++copy.run_lengths.back();
                continue;
            }
            copy.cells.push_back(held);
            copy.run_lengths.push_back(1);
        }
    });
    snapshot_tag_[block] = tag_;
}

void repeat_map::end_sweep(world& w) {
    // The groups: blocks of this sweep, joined where they touch.
    std::int16_t component[BLOCKS];
    std::fill(std::begin(component), std::end(component), NO_GROUP);
    std::vector<int>& members = members_;
    for (int start = 0; start < BLOCKS; ++start) {
        if (component[start] != NO_GROUP || !in_last_sweep(start)) continue;
        members.clear();
        members.push_back(start);
        component[start] = std::int16_t(start);
        bool repeats = true;
        for (std::size_t next = 0; next < members.size(); ++next) {
            const int block = members[next];
            if (!may_repeat(w, block)) repeats = false;
            for_each_block_around(block, [&](int near) {
                if (component[near] != NO_GROUP || !in_last_sweep(near)) return;
                component[near] = std::int16_t(start);
                members.push_back(near);
            });
        }
        for (const int block : members) {
            if (!repeats) break;
            if (left_as_found(w, block)) continue;
            repeats = false;
            if (copied_by_last_sweep(block)) {
                misses_[block] = std::min<std::uint8_t>(misses_[block] + 1, MOST_MISSES);
                copy_again_at_[block] = tag_ + (std::uint64_t{1} << misses_[block]);
            }
        }
        if (repeats) {
            for (const int block : members) {
                group_[block] = std::int16_t(start);
                misses_[block] = 0;
            }
        }
    }
    // Copies for the next sweep of the blocks written quietly in this one.
    for (int block = 0; block < BLOCKS; ++block)
        if (written_[block] == tag_ && moved_[block] != tag_ && group_[block] == NO_GROUP && may_repeat(w, block) &&
            copy_again_at_[block] <= tag_)
            take_snapshot(w, block);
    mark_beside_groups();
}

void repeat_map::catch_up(world& w, int x, int y, int block_z) {
    // The groups around this block, and every block of them.
    std::int16_t groups_near[27];
    int group_count = 0;
    const auto is_near = [&](std::int16_t group) {
        return std::find(groups_near, groups_near + group_count, group) != groups_near + group_count;
    };
    for_each_block_around(block_index(x / BLOCK_EDGE, y / BLOCK_EDGE, block_z), [&](int near) {
        if (group_[near] != NO_GROUP && !is_near(group_[near])) groups_near[group_count++] = group_[near];
    });
    bool caught[BLOCKS];
    for (int b = 0; b < BLOCKS; ++b) caught[b] = is_near(group_[b]);
    // Their steps that the sweep passed over in this frame, in its order, up
    // to the part of row (x, y) in block_z.
    for (int cy = 0; cy <= y; ++cy)
        for (int cx = 0; cx < (cy == y ? x + 1 : GRID_X); ++cx)
            for (int cbz = 0; cbz < (cy == y && cx == x ? block_z : BLOCKS_Z); ++cbz) {
                const int cb = block_index(cx / BLOCK_EDGE, cy / BLOCK_EDGE, cbz);
                if (!caught[cb]) continue;
                note_walked(cb);
                for (int z = cbz * BLOCK_EDGE; z < (cbz + 1) * BLOCK_EDGE; ++z)
                    if (w.grid[cx][cy][z].id != TYPE_ERASER) w.step(cx, cy, z);
            }
    for (int g = 0; g < group_count; ++g) dissolve(groups_near[g], w.sleep);
    mark_beside_groups();
}
