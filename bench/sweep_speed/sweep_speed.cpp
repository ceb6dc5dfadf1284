// The sweep alone, with nothing drawn and no display: the shared scenes,
// each swept for a number of frames, in milliseconds per frame. Built for the
// desktop and as WebAssembly for Node, so that the page's sweep can be timed
// against the desktop's; beside each time, a checksum of the world and the
// next rand() draw after the frames, which must be the same in both builds.
//
//   grainvox-sweep-speed [FRAMES [REPEATS]]
//
// Each scene is laid anew and swept REPEATS times from the same seed, after
// one untimed pass that lets a JIT settle. Every pass does the same work
// frame by frame, so each frame counts with its fastest time: on a busy
// machine a frame that was interrupted in one pass ran whole in another.

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <memory>
#include <numeric>
#include <vector>

#if defined(__EMSCRIPTEN__)
#include <emscripten.h>
#else
#include <ctime>
#endif

#include "bench_scenes.h"
#include "sim/sweep.h"
#include "sim/world.h"

namespace {

constexpr int DEFAULT_FRAMES = 60;
constexpr int DEFAULT_REPEATS = 5;
constexpr unsigned SEED = 1;
constexpr int SETTLED_HEAP_CELLS = 100000;

struct scene {
    const char* name;
    void (*build)(world&);
};

const scene SCENES[] = {
    {"empty_box", [](world&) {}},
    {"settled_heap", [](world& w) { build_sand_heap(w, SETTLED_HEAP_CELLS); }},
    {"spreading_water", build_water_pool},
    {"mixed_gases", build_mixed_gases},
    {"burning_oil", build_burning_oil},
};

// Milliseconds of processor time this process has had: on a machine shared
// with other work, time spent waiting for a processor is not the sweep's.
#if defined(__EMSCRIPTEN__)
// Node's own count; the clocks of emscripten's C library are wall clocks,
// and a browser has no other.
EM_JS(double, processor_ms, (), {
    if (typeof process === 'undefined' || !process.cpuUsage) return performance.now();
    const used = process.cpuUsage();
    return (used.user + used.system) / 1000;
});
#else
double processor_ms() {
    timespec now;
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return now.tv_sec * 1e3 + now.tv_nsec / 1e6;
}
#endif

// FNV-1a, 64 bits.
struct checksum {
    std::uint64_t value = 14695981039346656037ull;

    template <class T>
    void add(const T& field) {
        unsigned char bytes[sizeof field];
        std::memcpy(bytes, &field, sizeof field);
        for (unsigned char byte : bytes) value = (value ^ byte) * 1099511628211ull;
    }
};

// Every field of every cell, field by field: padding and the bytes after a
// name's end hold nothing of the world's.
std::uint64_t world_checksum(const world& w) {
    checksum sum;
    for (int x = 0; x < GRID_X; ++x)
        for (int y = 0; y < GRID_Y; ++y)
            for (int z = 0; z < GRID_Z; ++z) {
                const ParticleType& p = w.grid[x][y][z];
                for (std::size_t i = 0; i < sizeof p.name && p.name[i] != '\0'; ++i) sum.add(p.name[i]);
                sum.add(p.fountain_index);
                sum.add(p.density);
                sum.add(p.id);
                sum.add(p.red);
                sum.add(p.green);
                sum.add(p.blue);
                sum.add(p.burn_time);
                sum.add(p.alpha);
                sum.add(p.extinguishes);
                sum.add(p.ignition_delay);
                sum.add(p.phase);
                sum.add(p.pressured);
            }
    return sum.value;
}

struct pass_result {
    std::uint64_t world_sum;
    int next_draw;
};

// Sweeps a fresh copy of the scene from the seed, lowering each frame's
// entry in `fastest` to that frame's time in this pass if it was faster.
pass_result sweep_pass(const scene& s, std::vector<double>& fastest) {
    auto w = std::make_unique<world>();
    s.build(*w);
    std::srand(SEED);
    for (double& best : fastest) {
        const double start = processor_ms();
        sweep_frame(*w);
        best = std::min(best, processor_ms() - start);
    }
    return {world_checksum(*w), std::rand()};
}

int positive_argument(const char* text, int fallback) {
    if (text == nullptr) return fallback;
    char* end = nullptr;
    const long value = std::strtol(text, &end, 10);
    if (end == text || *end != '\0' || value < 1 || value > 1000000) {
        std::fprintf(stderr, "grainvox-sweep-speed: not a positive count: %s\n", text);
        std::exit(2);
    }
    return static_cast<int>(value);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc > 3) {
        std::fprintf(stderr, "usage: grainvox-sweep-speed [FRAMES [REPEATS]]\n");
        return 2;
    }
    const int frames = positive_argument(argc > 1 ? argv[1] : nullptr, DEFAULT_FRAMES);
    const int repeats = positive_argument(argc > 2 ? argv[2] : nullptr, DEFAULT_REPEATS);
    std::printf("%-16s %10s %16s %11s\n", "scene", "ms/frame", "world", "next_rand");
    for (const scene& s : SCENES) {
        std::vector<double> fastest(frames, std::numeric_limits<double>::infinity());
        const pass_result first = sweep_pass(s, fastest);
        std::fill(fastest.begin(), fastest.end(), std::numeric_limits<double>::infinity());
        for (int i = 0; i < repeats; ++i) {
            const pass_result again = sweep_pass(s, fastest);
            if (again.world_sum != first.world_sum || again.next_draw != first.next_draw) {
                std::fprintf(stderr, "grainvox-sweep-speed: %s swept twice from one seed differs\n", s.name);
                return 1;
            }
        }
        const double ms_per_frame = std::accumulate(fastest.begin(), fastest.end(), 0.0) / frames;
        std::printf("%-16s %10.3f %016llx %11d\n", s.name, ms_per_frame,
                    static_cast<unsigned long long>(first.world_sum), first.next_draw);
        std::fflush(stdout);
    }
    return 0;
}
