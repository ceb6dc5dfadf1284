// Scene files for the page's checks and speed measurement, made and compared
// with the desktop program's own scene code:
//   web_scenes write FOLDER   writes picture.gvx (a still scene for the
//                             picture checks) and the bench scenes empty.gvx,
//                             heap_20k.gvx, heap_100k.gvx, mixed_100k.gvx,
//                             full_box.gvx
//   web_scenes same A B       exit 0 when both files load and hold the same
//                             box cell for cell, 1 when they differ, 2 when
//                             one does not load
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

#include "scene/scene_file.h"
#include "bench_scenes.h"

namespace {

constexpr int EXIT_DIFFERENT = 1;
constexpr int EXIT_UNREADABLE = 2;

// A scene that stands still: a sand pyramid (each layer one cell in from the
// one below, which sand holds), a wall block and a glass shell, seen from
// the start camera in front of the pen.
void build_still_scene(world& w) {
    constexpr int PYRAMID_LAYERS = 12;
    for (int y = 0; y < PYRAMID_LAYERS; ++y) fill_box(w, TYPE_SAND, 38 + y, 62 - y, y, y + 1, 50 + y, 74 - y);
    fill_box(w, TYPE_WALL, 15, 30, 0, 20, 55, 65);
    for (int x = 66; x < 84; ++x)
        for (int y = 0; y < 15; ++y)
            for (int z = 55; z < 70; ++z) {
                const bool inside = x > 66 && x < 83 && y > 0 && y < 14 && z > 55 && z < 69;
                if (!inside) w.add_particle(TYPE_GLASS, x, y, z);
            }
}

void build_empty(world&) {}
void build_heap_20k(world& w) { build_sand_heap(w, 20000); }
void build_heap_100k(world& w) { build_sand_heap(w, 100000); }

struct named_scene {
    const char* file;
    void (*build)(world&);
};

constexpr named_scene SCENES[] = {
    {"picture.gvx", build_still_scene},   {"empty.gvx", build_empty},         {"heap_20k.gvx", build_heap_20k},
    {"heap_100k.gvx", build_heap_100k},   {"mixed_100k.gvx", build_mixed_100k}, {"full_box.gvx", build_full_box},
};

int write_scenes(const std::string& folder) {
    for (const named_scene& scene : SCENES) {
        const auto w = std::make_unique<world>();
        scene.build(*w);
        const scene_outcome saved = save_scene_file(*w, folder + "/" + scene.file);
        if (!saved.ok) {
            std::fprintf(stderr, "%s\n", saved.message.c_str());
            return EXIT_UNREADABLE;
        }
    }
    return 0;
}

// Two boxes hold the same cells when the same encoder writes the same bytes
// for them: every field of every cell that differs from empty is written.
int compare_scenes(const char* first, const char* second) {
    const auto a = std::make_unique<world>();
    const auto b = std::make_unique<world>();
    for (const auto& [path, into] : {std::pair{first, a.get()}, std::pair{second, b.get()}}) {
        const scene_outcome loaded = load_scene_file(*into, path);
        if (!loaded.ok) {
            std::fprintf(stderr, "%s\n", loaded.message.c_str());
            return EXIT_UNREADABLE;
        }
    }
    if (encode_scene(*a) == encode_scene(*b)) return 0;
    std::fprintf(stderr, "%s and %s hold different boxes\n", first, second);
    return EXIT_DIFFERENT;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::strcmp(argv[1], "write") == 0) return write_scenes(argv[2]);
    if (argc == 4 && std::strcmp(argv[1], "same") == 0) return compare_scenes(argv[2], argv[3]);
    std::fprintf(stderr, "usage: %s write FOLDER | %s same A.gvx B.gvx\n", argv[0], argv[0]);
    return EXIT_UNREADABLE;
}
