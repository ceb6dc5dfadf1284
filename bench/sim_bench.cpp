// Timings of one frame's sweep (no drawing) on a few scenes, the plain sweep
// beside the one that passes over sleeping blocks, and the floor set by the
// memory system: one streaming read of the whole grid.

#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <map>
#include <memory>
#include <string>
#include <utility>

#include "allocation_counter.h"
#include "bench_scenes.h"
#include "sim/awake_sweep.h"
#include "sim/world.h"

namespace {

constexpr int FRAMES_PER_SCENE = 20;
constexpr double CELLS_IN_GRID = double(GRID_X) * GRID_Y * GRID_Z;

void empty_box(world& w) { fill_box(w, TYPE_ERASER, 0, GRID_X, 0, GRID_Y, 0, GRID_Z); }

// 100,000 Sand: a full-width slab ten layers thick, falling.
void sand_slab(world& w) { fill_box(w, TYPE_SAND, 0, GRID_X, 30, 40, 0, GRID_Z); }

int non_empty_cells(const world& w) {
    int n = 0;
    for (int x = 0; x < GRID_X; ++x)
        for (int y = 0; y < GRID_Y; ++y)
            for (int z = 0; z < GRID_Z; ++z) n += w.grid[x][y][z].id != TYPE_ERASER;
    return n;
}

// Paired timings of the plain sweep and the awake sweep on one scene.
// Scenes that evolve are rebuilt every FRAMES_PER_SCENE frames, outside the
// timing (each rebuild wakes the whole box, as a scene load does); still
// scenes are laid and settled once, outside the timing. Counters: non-empty
// cells at the scene's start, nanoseconds per non-empty cell and per cell of
// the box, heap allocations made inside the timed frames, and, for the awake
// sweep, how many times cheaper it is than the plain one timed just before.
enum class sweep_kind { plain, awake };

struct sweep_scene {
    const char* name;
    void (*build)(world&);
    bool still;
};

constexpr int SETTLE_FRAMES = 30;

// The plain sweep's ms per frame, by scene, for the awake sweep's counter.
std::map<std::string, double>& plain_ms() {
    static std::map<std::string, double> ms;
    return ms;
}

// This thread's processor time: the machine is shared, and the time others
// take of it is not the sweep's.
double thread_seconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) + double(now.tv_nsec) * 1e-9;
}

void time_sweep(benchmark::State& state, const sweep_scene& scene, sweep_kind kind) {
    auto w = std::make_unique<world>();
    int cells = 0;
    const auto lay = [&] {
        empty_box(*w);
        scene.build(*w);
        w->wake_all();  // the scene was written straight into the grid
        std::srand(1);
        cells = non_empty_cells(*w);
        if (scene.still)
            for (int frame = 0; frame < SETTLE_FRAMES; ++frame) sweep_awake(*w);
    };
    if (scene.still) lay();
    int frame = 0;
    std::uint64_t allocations = 0;
    double seconds = 0.0;
    for (auto _ : state) {
        if (!scene.still && frame % FRAMES_PER_SCENE == 0) lay();
        const std::uint64_t before = heap_allocations();
        const double start = thread_seconds();
        if (kind == sweep_kind::plain)
            sweep_frame(*w);
        else
            sweep_awake(*w);
        const double elapsed = thread_seconds() - start;
        allocations += heap_allocations() - before;
        state.SetIterationTime(elapsed);
        seconds += elapsed;
        ++frame;
    }
    state.counters["cells"] = cells;
    state.counters["allocs"] = double(allocations);
    // Seconds per cell, shown with an SI prefix (n = nanoseconds).
    if (cells > 0)
        state.counters["per_cell"] =
            benchmark::Counter(cells, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
    state.counters["per_visit"] =
        benchmark::Counter(CELLS_IN_GRID, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
    const double ms = seconds * 1000.0 / double(state.iterations());
    if (kind == sweep_kind::plain) {
        plain_ms()[scene.name] = ms;
        return;
    }
    const auto plain = plain_ms().find(scene.name);
    if (plain != plain_ms().end()) state.counters["x_plain"] = plain->second / ms;
}

void no_cells(world&) {}

// 100,000 Sand in a heap that holds as laid.
void settled_sand_heap(world& w) { build_sand_heap(w, 100000); }

// 200,000 Water over the whole floor, 20 layers deep: nowhere to flow.
void still_water_pool(world& w) { fill_box(w, TYPE_WATER, 0, GRID_X, 0, 20, 0, GRID_Z); }

const sweep_scene SWEEP_SCENES[] = {
    {"empty_box", no_cells, true},
    {"sand_heap_100k", settled_sand_heap, true},
    {"water_pool_200k", still_water_pool, true},
    {"sand_slab_100k", sand_slab, false},
    {"water_spreading_200k", build_water_pool, false},
#if GRAINVOX_HAS_GASES
    {"mixed_gases_50k", build_mixed_gases, false},
#endif
    {"burning_oil_20k", build_burning_oil, false},
};

// Registered in pairs, the plain sweep first, so that each scene's two
// figures come from one run.
int register_sweep_benchmarks() {
    const std::pair<sweep_kind, const char*> kinds[] = {{sweep_kind::plain, "plain"}, {sweep_kind::awake, "awake"}};
    for (const sweep_scene& scene : SWEEP_SCENES)
        for (const auto& [kind, name] : kinds)
            benchmark::RegisterBenchmark((std::string("Sweep/") + scene.name + "/" + name).c_str(),
                                         [&scene, kind = kind](benchmark::State& s) { time_sweep(s, scene, kind); })
                ->UseManualTime()
                ->Unit(benchmark::kMillisecond);
    return 0;
}

const int sweep_benchmarks_registered = register_sweep_benchmarks();

// The memory floor: a plain read of every byte of the grid, as 64-bit words.
void FloorGridRead(benchmark::State& state) {
    auto w = std::make_unique<world>();
    const auto* bytes = reinterpret_cast<const unsigned char*>(&w->grid);
    constexpr std::size_t words = sizeof(world::grid) / sizeof(std::uint64_t);
    for (auto _ : state) {
        std::uint64_t sum = 0;
        for (std::size_t i = 0; i < words; ++i) {
            std::uint64_t word;
            std::memcpy(&word, bytes + i * sizeof word, sizeof word);
            sum += word;
        }
        benchmark::DoNotOptimize(sum);
    }
    state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(sizeof(world::grid)));
    state.counters["per_visit"] =
        benchmark::Counter(CELLS_IN_GRID, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

}  // namespace

BENCHMARK(FloorGridRead)->Unit(benchmark::kMillisecond);
