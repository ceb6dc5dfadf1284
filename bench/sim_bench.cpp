// Timings of one frame's sweep (no drawing) on a few scenes, beside the
// floor set by the memory system: one streaming read of the whole grid.
// Scenes that evolve are rebuilt, outside the timing, every few frames, so
// that every timed frame sees much the same kind of work.

#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "allocation_counter.h"
#include "bench_scenes.h"
#include "sim/sweep.h"
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

// Times sweep_frame on a scene laid by `build` into an empty box, rebuilt
// every FRAMES_PER_SCENE frames. Counters: non-empty cells at the scene's
// start, nanoseconds per non-empty cell and per visited cell, and heap
// allocations made inside the timed frames.
template <class Build>
void time_sweep(benchmark::State& state, Build build) {
    auto w = std::make_unique<world>();
    int cells = 0;
    int frame = 0;
    std::uint64_t allocations = 0;
    for (auto _ : state) {
        if (frame % FRAMES_PER_SCENE == 0) {
            state.PauseTiming();
            empty_box(*w);
            build(*w);
            std::srand(1);
            cells = non_empty_cells(*w);
            state.ResumeTiming();
        }
        const std::uint64_t before = heap_allocations();
        sweep_frame(*w);
        allocations += heap_allocations() - before;
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
}

void SweepEmptyBox(benchmark::State& state) {
    time_sweep(state, [](world&) {});
}
void SweepSandSlab(benchmark::State& state) { time_sweep(state, sand_slab); }
void SweepWaterPool(benchmark::State& state) { time_sweep(state, build_water_pool); }
void SweepMixedGases(benchmark::State& state) { time_sweep(state, build_mixed_gases); }
void SweepBurningOil(benchmark::State& state) { time_sweep(state, build_burning_oil); }

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
BENCHMARK(SweepEmptyBox)->Unit(benchmark::kMillisecond);
BENCHMARK(SweepSandSlab)->Unit(benchmark::kMillisecond);
BENCHMARK(SweepWaterPool)->Unit(benchmark::kMillisecond);
#if GRAINVOX_HAS_GASES
BENCHMARK(SweepMixedGases)->Unit(benchmark::kMillisecond);
#endif
BENCHMARK(SweepBurningOil)->Unit(benchmark::kMillisecond);
