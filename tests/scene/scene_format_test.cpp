// The scene format: files of the first format load to the boxes they were
// saved from; the compact format brings every scene back and keeps files
// small; every fault of a file is refused with a message that says which,
// and leaves the box as it was.

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <functional>
#include <memory>
#include <string>

#include "old_scenes.h"
#include "scene/little_endian.h"
#include "scene/scene_file.h"
#include "scene_test_files.h"
#include "scenes.h"

namespace {

using namespace scene_layout;
using namespace scene_test;

const fs::path DATA = SCENE_DATA_FOLDER;

std::unique_ptr<world> built(void (*build)(world&)) {
    std::unique_ptr<world> w(new world());
    build(*w);
    return w;
}

int live_cells(const world& w) {
    int cells = 0;
    for (const auto& plane : w.grid)
        for (const auto& row : plane)
            for (const ParticleType& p : row) cells += p.id != TYPE_ERASER;
    return cells;
}

int empty_cells_with_a_pick(const world& w) {
    int cells = 0;
    for (const auto& plane : w.grid)
        for (const auto& row : plane)
            for (const ParticleType& p : row) cells += p.id == TYPE_ERASER && p.fountain_index != 0;
    return cells;
}

// The box as the compact format keeps it: empty cells without the pick of a fire that left them.
std::unique_ptr<world> without_empty_picks(const world& w) {
    std::unique_ptr<world> copy = copy_of(w);
    forget_empty_picks(*copy);
    return copy;
}

TEST(OldSceneFiles, LoadToTheBoxesTheyWereSavedFrom) {
    for (const old_scene& old : OLD_SCENES) {
        SCOPED_TRACE(old.file);
        std::unique_ptr<world> loaded(new world());
        const scene_outcome outcome = load_scene_file(*loaded, (DATA / old.file).string());
        ASSERT_TRUE(outcome.ok) << outcome.message;
        EXPECT_EQ(cells_differing(*loaded, *built(old.build)), 0);
    }
    // The camp fire holds what a format must carry: burning cells, and empty ones that kept a pick.
    const std::unique_ptr<world> campfire = built(build_old_campfire);
    EXPECT_GT(burning_cells(*campfire), 0);
    EXPECT_GT(empty_cells_with_a_pick(*campfire), 0);
}

// A 10 x 2 x 10 block of Oil lit from above, run until nothing is left.
void build_burnt_out(world& w) {
    fill_box(w, TYPE_OIL, 45, 55, 0, 2, 45, 55);
    fill_box(w, TYPE_FIRE, 45, 55, 2, 3, 45, 55);
    std::srand(3);
    for (int frame = 0; frame < 1000 && live_cells(w) > 0; ++frame) run_frame_picking_fountains(w);
}
void build_full_box(world& w) {
    fill_box(w, TYPE_SAND, 0, GRID_X, 0, 17, 0, GRID_Z);
    fill_box(w, TYPE_WATER, 0, GRID_X, 17, 34, 0, GRID_Z);
    fill_box(w, TYPE_OIL, 0, GRID_X, 34, GRID_Y, 0, GRID_Z);
}
void build_heap_20k(world& w) {
    int cells = 20000;
    for (int y = 0; y < GRID_Y && cells > 0; ++y)
        for (int x = y; x < GRID_X - y && cells > 0; ++x)
            for (int z = y; z < GRID_Z - y && cells > 0; ++z, --cells) w.add_particle(TYPE_SAND, x, y, z);
}
void build_empty(world&) {}

struct compact_case {
    const char* name;
    void (*build)(world&);
    std::size_t most_bytes;  // the file may be no larger
};

// Every scene comes back, empty cells without their picks, and the file
// stays within its bound; the full box and the heap were 43 MB and 1.7 MB
// in the first format, the burnt-out box as large as its fire.
TEST(CompactSceneFiles, BringEveryBoxBackWithinTheirSize) {
    const compact_case cases[] = {
        {"empty box", build_empty, 200},
        {"full box", build_full_box, 4000},
        {"heap of 20,000 Sand", build_heap_20k, 16000},
        {"burnt-out box", build_burnt_out, 200},
        {"sand heap", build_sand_heap, 40000},
        {"water under oil", build_water_under_oil, 40000},
        {"gas cloud", build_gas_cloud, 400000},
        {"burning oil", build_burning_oil, 200000},
        {"filled block", build_filled_block, 40000},
        {"wall and glass", build_wall_and_glass, 40000},
        {"old camp fire", build_old_campfire, 80000},
    };
    std::unique_ptr<world> loaded(new world());
    for (const compact_case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::unique_ptr<world> original = built(c.build);
        const bytes saved = encode_scene(*original);
        EXPECT_LE(saved.size(), c.most_bytes);
        EXPECT_EQ(get_u32(saved.data() + VERSION_AT), DISTINCT_RECORDS_VERSION);
        const scene_outcome outcome = decode_scene(saved.data(), saved.size(), *loaded);
        ASSERT_TRUE(outcome.ok) << outcome.message;
        EXPECT_EQ(cells_differing(*loaded, *without_empty_picks(*original)), 0);
        EXPECT_EQ(encode_scene(*loaded), saved);
    }
    // What the box drops is never read again: the worlds run on alike.
    const std::unique_ptr<world> original = built(build_old_campfire);
    const bytes saved = encode_scene(*original);
    ASSERT_TRUE(decode_scene(saved.data(), saved.size(), *loaded).ok);
    for (unsigned frame = 0; frame < 30; ++frame) {
        std::srand(900u + frame);
        run_frame_picking_fountains(*original);
        std::srand(900u + frame);
        run_frame_picking_fountains(*loaded);
        ASSERT_EQ(cells_differing(*without_empty_picks(*loaded), *without_empty_picks(*original)), 0) << frame;
    }
}

TEST(SceneChecksum, IsTheStandardCrc32) {
    const char check[] = "123456789";
    EXPECT_EQ(scene_checksum(reinterpret_cast<const std::uint8_t*>(check), sizeof check - 1), 0xCBF43926u);
}

std::size_t field_offset(const char* name) {
    for (std::size_t i = 0; i < CELL_FIELD_COUNT; ++i)
        if (std::strcmp(CELL_FIELDS[i].name, name) == 0) return record_offset(i);
    ADD_FAILURE() << "no field " << name;
    return 0;
}

void put_u32_at(bytes& b, std::size_t at, std::uint32_t value) { put_u32(b.data() + at, value); }

// Gives a changed file the checksum it would have had, so that the check after it is reached.
void reseal(bytes& b) { put_u32_at(b, b.size() - CHECKSUM_BYTES, scene_checksum(b.data(), b.size() - CHECKSUM_BYTES)); }

struct refusal {
    const char* what;
    const char* message;  // part of the message the user gets
    std::function<void(bytes&)> spoil;
    bool sealed;  // the checksum is made right after the change
};

// The refusal scene: one cell of every material at the start of the box, so
// that the file's records hold them in id order, then the empty cell.
constexpr int RECORD_ROW = TYPE_COUNT - 1;
std::size_t record_at(int i) { return HEADER_BYTES + static_cast<std::size_t>(i) * RECORD_BYTES; }
std::size_t runs_at() { return record_at(RECORD_ROW + 1); }

// A cell record's field set to a value the program never gives it (a middle record of the row).
refusal field(const char* name, std::function<void(bytes&, std::size_t)> set) {
    return {name, name, [name, set](bytes& b) { set(b, record_at(RECORD_ROW / 2) + field_offset(name)); }, true};
}

// Each spoiled copy of `good` is refused with its message and leaves the box as it was.
template <std::size_t N>
void expect_refused(const bytes& good, const refusal (&refusals)[N], world& box, const world& before) {
    for (const refusal& r : refusals) {
        SCOPED_TRACE(r.what);
        bytes spoiled = good;
        r.spoil(spoiled);
        if (r.sealed) reseal(spoiled);
        const scene_outcome outcome = decode_scene(spoiled.data(), spoiled.size(), box);
        EXPECT_FALSE(outcome.ok);
        EXPECT_NE(outcome.message.find(r.message), std::string::npos) << outcome.message;
        ASSERT_EQ(cells_differing(box, before), 0);
    }
}

TEST(SceneFileFaults, EachIsRefusedWithItsReasonAndLeavesTheBoxAsItWas) {
    std::unique_ptr<world> row(new world());
    for (int i = 0; i < RECORD_ROW; ++i) row->add_particle(i + 1, 0, 0, i);
    const bytes good = encode_scene(*row);
    ASSERT_EQ(get_u32(good.data() + RECORDS_AT), static_cast<std::uint32_t>(RECORD_ROW + 1));

    // The box in memory holds another scene, which every refusal must leave alone.
    const std::unique_ptr<world> box = built(build_old_campfire);
    const std::unique_ptr<world> before = copy_of(*box);

    const auto set_u32 = [](std::uint32_t v) { return [v](bytes& b, std::size_t at) { put_u32_at(b, at, v); }; };
    const auto set_double = [](double v) { return [v](bytes& b, std::size_t at) { put_double(b.data() + at, v); }; };
    const auto set_byte = [](std::uint8_t v) { return [v](bytes& b, std::size_t at) { b[at] = v; }; };
    const auto grow_body = [](bytes& b, std::size_t at, const bytes& more) {
        b.insert(b.begin() + static_cast<std::ptrdiff_t>(at), more.begin(), more.end());
        put_u32_at(b, BODY_BYTES_AT, get_u32(b.data() + BODY_BYTES_AT) + static_cast<std::uint32_t>(more.size()));
    };
    const refusal refusals[] = {
        {"wrong magic", "magic", [](bytes& b) { b[MAGIC_AT + 3] = 'x'; }, true},
        {"empty file", "empty", [](bytes& b) { b.clear(); }, false},
        {"newer format", "format version 3", [](bytes& b) { put_u32_at(b, VERSION_AT, 3); }, true},
        {"another stage", "Grainvox 0.36", [](bytes& b) { std::memcpy(&b[STAGE_AT], "0.36", 4); }, true},
        {"another grid size", "80 x 50 x 100", [](bytes& b) { put_u32_at(b, GRID_AT, 80); }, true},
        {"bad checksum", "checksum", [](bytes& b) { b[record_at(3) + 30] ^= 0x10; }, false},
        {"truncated header", "truncated", [](bytes& b) { b.resize(HEADER_BYTES / 2); }, false},
        {"truncated", "truncated", [](bytes& b) { b.resize(b.size() - 10); }, false},
        {"over-long", "over-long", [](bytes& b) { b.insert(b.end(), {1, 2, 3}); }, false},
        {"unknown material id", "unknown material id 11",
         [](bytes& b) { put_u32_at(b, record_at(4) + field_offset("material id"), 11); }, true},
        {"negative material id", "unknown material id -1",
         [](bytes& b) { put_u32_at(b, record_at(4) + field_offset("material id"), 0xffffffffu); }, true},
        field("name", [](bytes& b, std::size_t at) { b[at] = 'X'; }),
        field("fountain index", set_u32(FOUNTAIN_COUNT)),
        field("density", set_double(3.0)),
        field("red", set_double(1.5)),
        field("green", set_double(-0.25)),
        field("blue", set_double(std::nan(""))),
        field("burn time", set_u32(10000)),
        field("alpha", set_double(2.0)),
        field("extinguishes", set_byte(2)),
        field("ignition delay", set_u32(static_cast<std::uint32_t>(-2))),
        field("phase", set_u32(PHASE_STATIC + 9)),
        field("pressured", set_byte(7)),
        {"no records", "cell records", [](bytes& b) { put_u32_at(b, RECORDS_AT, 0); }, true},
        {"more records than the body holds", "cell records",
         [](bytes& b) { put_u32_at(b, RECORDS_AT, GRID_X * GRID_Y * GRID_Z); }, true},
        {"a record number past the records", "cell record 11 of 11", [](bytes& b) { b[runs_at()] = 11; }, true},
        {"a run of no cells", "no cells", [](bytes& b) { b[runs_at() + 1] = 0; }, true},
        {"cells past the box", "past the box",
         [grow_body](bytes& b) {
             b[runs_at() + 1] = 0xff;  // the first run's count: more cells than the box has
             grow_body(b, runs_at() + 2, {0xff, 0x7f});
         },
         true},
        {"bytes after the last cell", "after the last cell",
         [grow_body](bytes& b) { grow_body(b, b.size() - CHECKSUM_BYTES, {0, 1}); }, true},
        {"a number of more than 32 bits", "too large",
         [grow_body](bytes& b) { grow_body(b, runs_at(), {0xff, 0xff, 0xff, 0xff, 0x7f}); }, true},
        {"cells end early", "cells end",
         [](bytes& b) {
             b.erase(b.end() - CHECKSUM_BYTES - 1, b.end() - CHECKSUM_BYTES);
             put_u32_at(b, BODY_BYTES_AT, get_u32(b.data() + BODY_BYTES_AT) - 1);
         },
         true},
    };
    expect_refused(good, refusals, *box, *before);

    // The runs of the first format are checked as closely.
    const bytes old = read_file(DATA / "row-v1.gvx");
    constexpr std::size_t OLD_RUN_BYTES = 8;
    const refusal old_refusals[] = {
        {"old: cells past the box", "past the box",
         [](bytes& b) { put_u32_at(b, HEADER_BYTES, GRID_X * GRID_Y * GRID_Z); }, true},
        {"old: a run of no cells", "no cells",
         [](bytes& b) {
             put_u32_at(b, HEADER_BYTES, 0);
             put_u32_at(b, HEADER_BYTES + 4, 0);
         },
         true},
        {"old: wrong record count", "header says", [](bytes& b) { put_u32_at(b, RECORDS_AT, 99); }, true},
        {"old: cells end early", "cells end",
         [](bytes& b) {
             b.erase(b.end() - CHECKSUM_BYTES - OLD_RUN_BYTES, b.end() - CHECKSUM_BYTES);
             put_u32_at(b, BODY_BYTES_AT, get_u32(b.data() + BODY_BYTES_AT) - OLD_RUN_BYTES);
         },
         true},
        {"old: a field out of range", "alpha out of range",
         [](bytes& b) { put_double(b.data() + HEADER_BYTES + OLD_RUN_BYTES + field_offset("alpha"), 7.0); }, true},
    };
    expect_refused(old, old_refusals, *box, *before);
}

}  // namespace
