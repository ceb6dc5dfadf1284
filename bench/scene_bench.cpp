// Timings of the scene file: saving and loading the full box (every cell a
// record, the largest file the program writes), a heap of 20,000 Sand and
// a box that burnt out (empty, but for the fountains its fires picked),
// and the same without the disk (the bytes alone). Each save writes a
// temporary file, flushes it to the disk and renames it over the last one.
// The files go to a folder of TMPDIR made for the run and removed after it.

#include <benchmark/benchmark.h>
#include <stdlib.h>  // mkdtemp

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "scene/scene_file.h"
#include "bench_scenes.h"

namespace {

namespace fs = std::filesystem;

class scratch_folder {
public:
    scratch_folder() {
        std::string pattern = (fs::temp_directory_path() / "grainvox-bench-XXXXXX").string();
        if (mkdtemp(pattern.data()) != nullptr) path = pattern;
    }
    ~scratch_folder() {
        std::error_code ignored;
        if (!path.empty()) fs::remove_all(path, ignored);
    }
    std::string path;  // empty when it could not be made
};

const std::string& bench_folder() {
    static const scratch_folder folder;
    return folder.path;
}

void build_heap_20k(world& w) { build_sand_heap(w, 20000); }

struct scene_case {
    const char* name;
    void (*build)(world&);
};

const scene_case SCENES[] = {
    {"full_box", build_full_box}, {"heap_20k", build_heap_20k}, {"burnt_out", build_burnt_out_box}};

std::unique_ptr<world> built(const scene_case& scene) {
    std::unique_ptr<world> w(new world());
    scene.build(*w);
    return w;
}

void report_size(benchmark::State& state, std::size_t bytes) {
    state.counters["file_bytes"] = static_cast<double>(bytes);
    state.counters["file_MB"] = static_cast<double>(bytes) / 1e6;
}

void time_save(benchmark::State& state, const scene_case& scene) {
    if (bench_folder().empty()) return state.SkipWithError("no folder for the files in TMPDIR");
    const std::unique_ptr<world> w = built(scene);
    const std::string path = bench_folder() + "/" + scene.name + ".gvx";
    for (auto _ : state) {
        const scene_outcome saved = save_scene_file(*w, path);
        if (!saved.ok) return state.SkipWithError(saved.message.c_str());
    }
    report_size(state, fs::file_size(path));
}

void time_load(benchmark::State& state, const scene_case& scene) {
    if (bench_folder().empty()) return state.SkipWithError("no folder for the files in TMPDIR");
    const std::string path = bench_folder() + "/" + scene.name + ".gvx";
    if (!save_scene_file(*built(scene), path).ok) return state.SkipWithError("the scene could not be saved");
    std::unique_ptr<world> w(new world());
    for (auto _ : state) {
        const scene_outcome loaded = load_scene_file(*w, path);
        if (!loaded.ok) return state.SkipWithError(loaded.message.c_str());
    }
    report_size(state, fs::file_size(path));
}

void time_encode(benchmark::State& state, const scene_case& scene) {
    const std::unique_ptr<world> w = built(scene);
    std::size_t size = 0;
    for (auto _ : state) {
        const std::vector<std::uint8_t> bytes = encode_scene(*w);
        size = bytes.size();
        benchmark::DoNotOptimize(bytes.data());
    }
    report_size(state, size);
}

void time_decode(benchmark::State& state, const scene_case& scene) {
    const std::vector<std::uint8_t> bytes = encode_scene(*built(scene));
    std::unique_ptr<world> w(new world());
    for (auto _ : state)
        if (!decode_scene(bytes.data(), bytes.size(), *w).ok) return state.SkipWithError("refused");
    report_size(state, bytes.size());
}

void register_scene_benchmarks() {
    using timing = void (*)(benchmark::State&, const scene_case&);
    const std::pair<const char*, timing> timings[] = {
        {"save", time_save}, {"load", time_load}, {"encode", time_encode}, {"decode", time_decode}};
    for (const scene_case& scene : SCENES)
        for (const auto& [what, time] : timings)
            benchmark::RegisterBenchmark((std::string("Scene/") + scene.name + "/" + what).c_str(),
                                         [&scene, time = time](benchmark::State& s) { time(s, scene); })
                ->Unit(benchmark::kMillisecond);
}

const bool scene_benchmarks_registered = (register_scene_benchmarks(), true);

}  // namespace
