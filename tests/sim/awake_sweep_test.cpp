// Long runs that settle and then wake, each played in two worlds side by
// side: one walked by the plain sweep_frame and still_frame, the other by the
// awake walks. After every frame the two grids, the rand() draws and what
// each walk handed over must agree; the awake walk's passed-over runs are
// read back from what its previous walk handed over, as a caller keeping
// its cells would.

#include <functional>
#include <memory>
#include <vector>

#include "sim/awake_sweep.h"
#include "sim_test_support.h"
#if AWAKE_TEST_LOADS_SCENES
#include "scene/scene_file.h"
#endif

namespace {

constexpr int CELLS = GRID_X * GRID_Y * GRID_Z;
constexpr int PEN_REACH = 2;  // a pen of size 5: the cube two cells around its cell

int cell_key(int x, int y, int z) { return (x * GRID_Y + y) * GRID_Z + z; }

struct handed_cell {
    int key;
    ParticleType cell;
};

// The first hand-over at which two walks differ, or -1.
long first_difference(const std::vector<handed_cell>& a, const std::vector<handed_cell>& b) {
    for (std::size_t i = 0; i < std::min(a.size(), b.size()); ++i)
        if (a[i].key != b[i].key || !same_record(a[i].cell, b[i].cell)) return long(i);
    return a.size() == b.size() ? -1 : long(std::min(a.size(), b.size()));
}

constexpr std::uint64_t NEVER_MENTIONED = ~std::uint64_t{0} / 2;

// What a caller of the awake walks keeps: each cell as the last walk handed
// it, and the walk that last mentioned it (a cell no walk mentioned was empty).
struct kept_cells {
    std::vector<ParticleType> cell = std::vector<ParticleType>(CELLS);
    std::vector<std::uint64_t> walk = std::vector<std::uint64_t>(CELLS, NEVER_MENTIONED);
};

// The program's callers pick a fountain for each burning cell handed over;
// the sweep's caller writes it into the cell.
void pick_fountain_like_the_program(world& w, const ParticleType& cell, int x, int y, int z, bool sweeping) {
    if (!is_burning(cell)) return;
    const int index = std::rand() % FOUNTAIN_COUNT;
    if (sweeping) w.grid[x][y][z].fountain_index = index;
}

std::vector<handed_cell> plain_walk(world& w, bool sweeping) {
    std::vector<handed_cell> handed;
    auto draw = [&](const ParticleType& cell, int x, int y, int z) {
        handed.push_back({cell_key(x, y, z), cell});
        pick_fountain_like_the_program(w, cell, x, y, z, sweeping);
    };
    if (sweeping)
        sweep_frame(w, draw);
    else
        still_frame(w, draw);
    return handed;
}

std::vector<handed_cell> awake_walk(world& w, bool sweeping, kept_cells& kept, int& passed_over) {
    std::vector<handed_cell> handed;
    const std::uint64_t walk = walk_number(w);
    auto draw = [&](const ParticleType& cell, int x, int y, int z) {
        const int key = cell_key(x, y, z);
        handed.push_back({key, cell});
        kept.cell[key] = cell;
        kept.walk[key] = walk;
        pick_fountain_like_the_program(w, cell, x, y, z, sweeping);
    };
    auto skip = [&](int x, int y, int z_begin, int z_end, bool unchanged) {
        for (int z = z_begin; z < z_end; ++z) {
            const int key = cell_key(x, y, z);
            const bool kept_live = kept.walk[key] + 1 == walk && kept.cell[key].id != TYPE_ERASER;
            if (!unchanged) kept.cell[key] = w.grid[x][y][z];
            if (!unchanged || kept_live) kept.walk[key] = walk;
            if (kept.walk[key] == walk && kept.cell[key].id != TYPE_ERASER) handed.push_back({key, kept.cell[key]});
            ++passed_over;
        }
    };
    if (sweeping)
        sweep_awake(w, draw, skip, [](int) {});
    else
        still_awake(w, draw, skip, [](int) {});
    return handed;
}

// What a run does to a world before one of its frames: the pen, a load, a reset.
using frame_action = std::function<void(std::unique_ptr<world>&, int frame)>;

struct settle_and_wake {
    const char* name;
    int frames;
    frame_action act;
    cell repeats{-1, -1, -1};  // a cell whose block must at some frame repeat unwalked
};

void pen_cube(world& w, int type, int x, int y, int z) {
    for (int dx = -PEN_REACH; dx <= PEN_REACH; ++dx)
        for (int dy = -PEN_REACH; dy <= PEN_REACH; ++dy)
            for (int dz = -PEN_REACH; dz <= PEN_REACH; ++dz) w.add_particle(type, x + dx, y + dy, z + dz);
}

// A heap with slopes of one cell per layer, which Sand holds. Scenes are laid
// straight into the grid of a new box, which is awake all through.
void lay_heap(world& w, int centre_x, int centre_z, int half_width) {
    for (int y = 0; y < half_width; ++y)
        fill_box(w, TYPE_SAND, {centre_x - half_width + y, y, centre_z - half_width + y},
                {centre_x + half_width - y, y, centre_z + half_width - y});
}

// Frames in which the world is paused: nothing is stepped, the pen still writes.
bool paused(int frame) { return frame % 9 == 4 || frame % 9 == 5; }

const settle_and_wake RUNS[] = {
    {"sand poured on a settled heap", 90,
     [](std::unique_ptr<world>& w, int frame) {
         if (frame == 0) lay_heap(*w, 40, 40, 12);
         if (frame >= 30 && frame < 40) pen_cube(*w, TYPE_SAND, 40 + frame % 3, 30, 40);
     }},
    {"a still oil pool lit", 110,
     [](std::unique_ptr<world>& w, int frame) {
         if (frame == 0) fill_box(*w, TYPE_OIL, {10, 0, 10}, {60, 0, 60});
         if (frame == 20) w->add_particle(TYPE_FIRE, 35, 1, 35);
         if (frame == 60) pen_cube(*w, TYPE_WATER, 35, 8, 35);
     }},
#if GRAINVOX_HAS_GASES
    {"gas released under a settled slab", 110,
     [](std::unique_ptr<world>& w, int frame) {
         if (frame == 0) {
             fill_box(*w, TYPE_GLASS, {20, 10, 20}, {70, 10, 70});
             fill_box(*w, TYPE_SAND, {25, 11, 25}, {65, 13, 65});
         }
         if (frame == 25) pen_cube(*w, TYPE_METHANE, 45, 4, 45);
         if (frame == 26) pen_cube(*w, TYPE_CARBON_DIOXIDE, 30, 14, 30);
     }},
#endif
#if AWAKE_TEST_LOADS_SCENES
    {"a scene loaded into a sleeping box", 70,
     [](std::unique_ptr<world>& w, int frame) {
         if (frame == 0) lay_heap(*w, 50, 50, 10);
         if (frame == 25) {
             auto scene = make_world();
             lay_heap(*scene, 30, 70, 8);
             fill_box(*scene, TYPE_WATER, {60, 20, 10}, {70, 24, 20});
             const std::vector<std::uint8_t> bytes = encode_scene(*scene);
             ASSERT_TRUE(decode_scene(bytes.data(), bytes.size(), *w).ok);
         }
     }},
#endif
    {"the box reset mid-run", 60,
     [](std::unique_ptr<world>& w, int frame) {
         if (frame == 0) lay_heap(*w, 50, 50, 10);
         if (frame == 30) {
             w = make_world();
             pen_cube(*w, TYPE_SAND, 50, 20, 50);
         }
     }},
    {"the pen's cube, on and off", 80,
     [](std::unique_ptr<world>& w, int frame) {
         if (frame == 0) fill_box(*w, TYPE_WALL, {0, 0, 0}, {GRID_X - 1, 0, GRID_Z - 1});
         if (frame >= 10 && frame < 16) pen_cube(*w, TYPE_WALL, 9 + frame, 20, 50);  // across a block border
         if (frame >= 40 && frame < 43) pen_cube(*w, TYPE_ERASER, 20, 20, 50);
         if (frame >= 50 && frame < 53) pen_cube(*w, TYPE_SAND, 19, 30, 49);
     }},
    {"water poured into a settled pool", 90,
     [](std::unique_ptr<world>& w, int frame) {
         if (frame == 0) {
             fill_box(*w, TYPE_WALL, {29, 0, 29}, {61, 3, 61});
             fill_box(*w, TYPE_ERASER, {30, 1, 30}, {60, 3, 60});
             fill_box(*w, TYPE_WATER, {30, 1, 30}, {60, 1, 60});
         }
         if (frame >= 30 && frame < 34) pen_cube(*w, TYPE_WATER, 45, 12, 45);
     }},
    // Oil in block x 10..19 rests on Water in block 0..9, which a fire lit two
    // cells from the border moves away: a step's write lands one cell from
    // where it is made, and wakes what reads that cell.
    {"a step's write beside a block border", 40,
     [](std::unique_ptr<world>& w, int frame) {
         if (frame == 0) {
             fill_box(*w, TYPE_WALL, {0, 0, 40}, {19, 1, 60});
             w->add_particle(TYPE_WATER, 9, 1, 50);
             w->add_particle(TYPE_OIL, 10, 2, 50);
         }
         if (frame == 20) w->add_particle(TYPE_FIRE, 8, 1, 50);
     }},
    // Pressure tokens change a deep pool within every frame and leave it as
    // it was: the pool repeats until a falling grain nears it mid-sweep, and
    // the pen writes beside it.
    {"a deep pool left to repeat, a grain dropped in", 90,
     [](std::unique_ptr<world>& w, int frame) {
         if (frame == 0) {
             fill_box(*w, TYPE_WALL, {18, 0, 18}, {62, 15, 62});
             fill_box(*w, TYPE_ERASER, {20, 1, 20}, {60, 15, 60});
             fill_box(*w, TYPE_WATER, {20, 1, 20}, {60, 13, 60});
             fill_box(*w, TYPE_OIL, {20, 14, 20}, {60, 14, 60});
         }
         if (frame == 28) w->add_particle(TYPE_SAND, 40, 36, 40);
         if (frame == 70) pen_cube(*w, TYPE_WALL, 65, 8, 40);
     },
     {40, 5, 40}},
    // A repeating tank whose layer 29 hands the token on to one last cell in
    // row 41. A grain falling beside the tank's low arm wakes it while the
    // sweep is in layer 29 between rows 40 and 41: the rows passed over must
    // be stepped first, or the last cell is not pressed and tints wrongly.
    {"a tank woken mid-layer by a falling grain", 75,
     [](std::unique_ptr<world>& w, int frame) {
         if (frame == 0) {
             fill_box(*w, TYPE_WALL, {28, 0, 28}, {52, 31, 91});
             fill_box(*w, TYPE_ERASER, {30, 1, 30}, {50, 31, 89});
             fill_box(*w, TYPE_WATER, {30, 1, 30}, {50, 15, 89});                // low arm, and the tank's foot
             fill_box(*w, TYPE_WALL, {30, 16, 56}, {50, 31, 56});               // the deep part's side
             fill_box(*w, TYPE_WATER, {30, 16, 30}, {50, 28, 55});
             fill_box(*w, TYPE_WATER, {30, 29, 30}, {40, 29, 55});
             fill_box(*w, TYPE_WALL, {41, 29, 30}, {50, 29, 55});
             fill_box(*w, TYPE_WATER, {41, 29, 40}, {41, 29, 40});              // the last cell
             fill_box(*w, TYPE_WATER, {30, 30, 30}, {35, 30, 55});              // presses rows 29..36
         }
         if (frame == 27) w->add_particle(TYPE_SAND, 40, 45, 85);  // at layer 29 in a repeating frame
     },
     {40, 29, 40}},
    {"sand poured on walls and glass", 90,
     [](std::unique_ptr<world>& w, int frame) {
         if (frame == 0) {
             fill_box(*w, TYPE_WALL, {10, 0, 10}, {30, 8, 12});
             fill_box(*w, TYPE_GLASS, {10, 9, 10}, {30, 9, 30});
             fill_box(*w, TYPE_WALL, {50, 0, 50}, {50, 15, 80});
         }
         if (frame >= 20 && frame < 30) pen_cube(*w, TYPE_SAND, 20 + frame % 4, 25, 20);
         if (frame >= 45 && frame < 50) pen_cube(*w, TYPE_SAND, 50, 30, 60 + frame % 5);
     }},
};

TEST(AwakeSweep, SettleAndWakeRunsMatchThePlainWalksFrameByFrame) {
    for (const settle_and_wake& run : RUNS) {
        SCOPED_TRACE(run.name);
        auto plain = make_world(), awake = make_world();
        kept_cells kept;
        int passed_over = 0;
        bool repeated = false;
        for (int frame = 0; frame < run.frames; ++frame) {
            const bool sweeping = !paused(frame);
            if (run.repeats.x >= 0)
                repeated = repeated || awake->repeats.repeating(repeat_map::block_index(
                                           run.repeats.x / BLOCK_EDGE, run.repeats.y / BLOCK_EDGE,
                                           run.repeats.z / BLOCK_EDGE));
            const world* awake_before = awake.get();
            run.act(plain, frame);
            run.act(awake, frame);
            if (awake.get() != awake_before) kept = kept_cells{};  // a new world: nothing kept holds
            std::srand(unsigned(frame) + 1);
            const std::vector<handed_cell> expected = plain_walk(*plain, sweeping);
            const int plain_next_draw = std::rand();
            std::srand(unsigned(frame) + 1);
            const std::vector<handed_cell> got = awake_walk(*awake, sweeping, kept, passed_over);
            ASSERT_EQ(std::rand(), plain_next_draw) << "rand() draws differ after frame " << frame;
            ASSERT_EQ(std::memcmp(plain->grid, awake->grid, sizeof plain->grid), 0) << "grids differ after frame " << frame;
            ASSERT_EQ(first_difference(expected, got), -1) << "hand-overs differ in frame " << frame;
        }
        EXPECT_GT(passed_over, CELLS) << "the awake walks never passed over a cell";
        if (run.repeats.x >= 0) {
            EXPECT_TRUE(repeated) << "the block of " << run.repeats << " never repeated";
        }
    }
}

}  // namespace
