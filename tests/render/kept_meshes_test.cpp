// Kept meshes against the whole frame made every time: long runs that settle
// and then wake, frame by frame the same world, the same rand() draws and the
// same pixels.

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

#include "desktop_frame.h"
#include "render/core/cell_drawing.h"
#include "render/core/kept_chunks.h"
#include "render/fixed_function/fast_renderer.h"
#include "render_window.h"
#include "scenes.h"
#include "sim/sweep.h"

namespace {

constexpr int CUBES = 0;

// What a run does before frame `frame` (to both worlds alike), and whether
// that frame stands still.
struct settle_and_wake {
    const char* name;
    void (*build)(world&);
    void (*write)(world&, int frame);
    bool (*still)(int frame);
    int frames;
    double elevation, azimuth, distance;
    int style;
    bool keeps;  // some chunk must be kept in some frame
    double turn = 0.0;   // degrees of azimuth added each frame
    double swing = 0.0;  // and added in odd frames only
};

bool never_still(int) { return false; }
bool still_between_10_and_30(int frame) { return frame >= 10 && frame < 30; }

void oil_pool(world& w) {
    fill_box(w, TYPE_WALL, 30, 70, 0, 1, 30, 70);
    fill_box(w, TYPE_OIL, 31, 69, 1, 3, 31, 69);
    fill_box(w, TYPE_WATER, 40, 60, 3, 4, 40, 60);
}
void light_pool_at_12(world& w, int frame) {
    if (frame == 12) fill_box(w, TYPE_FIRE, 48, 52, 3, 4, 48, 52);
}

void sand_slab(world& w) { fill_box(w, TYPE_SAND, 35, 65, 0, 4, 35, 65); }
void release_under_slab_at_10(world& w, int frame) {
#if GRAINVOX_HAS_GASES
    const int released = TYPE_METHANE;
#else
    const int released = TYPE_WATER;
#endif
    if (frame == 10) fill_box(w, released, 45, 55, 0, 1, 45, 55);
}

void pour_after_15(world& w, int frame) {
    if (frame >= 15 && frame < 30) fill_box(w, TYPE_SAND, 49, 51, 20, 21, 49, 51);
}

void load_scene_at_12(world& w, int frame) {
    if (frame != 12) return;
    std::unique_ptr<world> scene(new world());
    build_water_under_oil(*scene);
    for (int x = 0; x < GRID_X; ++x)
        for (int y = 0; y < GRID_Y; ++y)
            for (int z = 0; z < GRID_Z; ++z) w.grid[x][y][z] = scene->grid[x][y][z];
    w.wake_all();  // as a scene load does
}

void empty_at_10(world& w, int frame) {
    if (frame == 10) fill_box(w, TYPE_ERASER, 0, GRID_X, 0, GRID_Y, 0, GRID_Z);
}

// A pen of size 5 held above the heap writes a hollow cube of Sand, and then
// erases it.
void pen_shell(world& w, int frame) {
    if (frame < 12 || frame >= 20) return;
    const int type = frame < 16 ? TYPE_SAND : TYPE_ERASER;
    fill_box(w, type, 40, 45, 20, 25, 40, 45);
    if (type == TYPE_SAND) fill_box(w, TYPE_ERASER, 41, 44, 21, 24, 41, 44);
}

// Water under Oil in a basin: their pressure tokens change every frame and
// leave the pool as it was, so the sweep passes it over; a grain falling
// beside it, and a pause, wake it.
void deep_pool(world& w) {
    fill_box(w, TYPE_WALL, 19, 81, 0, 14, 19, 81);
    fill_box(w, TYPE_ERASER, 20, 80, 1, 14, 20, 80);
    fill_box(w, TYPE_WATER, 20, 80, 1, 10, 20, 80);
    fill_box(w, TYPE_OIL, 20, 80, 10, 13, 20, 80);
}
bool still_at_20_and_21(int frame) { return frame == 20 || frame == 21; }
void grain_beside_at_8(world& w, int frame) {
    if (frame == 8) fill_box(w, TYPE_SAND, 50, 51, 40, 41, 50, 51);
}

void pen_writes_while_paused(world& w, int frame) {
    if (frame % 4 == 1) fill_box(w, TYPE_SAND, 30 + frame, 32 + frame, 15, 16, 50, 52);
}

// Flowing liquids never lie still, nor do chunks near the eye keep their triangles;
// the other runs must keep some.
const settle_and_wake RUNS[] = {
    {"pour on a settled heap", build_sand_heap, pour_after_15, never_still, 30, 30.0, 20.0, 60.0, CUBES, true},
    {"pour, as spheres", build_sand_heap, pour_after_15, never_still, 20, 25.0, 200.0, 55.0, GRAPHICS_SPHERES,
     true},
    {"light a still oil pool", oil_pool, light_pool_at_12, never_still, 24, 35.0, 60.0, 60.0, CUBES, false},
    {"released under a settled slab", sand_slab, release_under_slab_at_10, never_still, 20, 25.0, 300.0, 60.0,
     CUBES, true},
    {"a scene loaded into a still box", build_sand_heap, load_scene_at_12, never_still, 18, 35.0, 30.0, 70.0, CUBES,
     true},
    {"emptied mid-run", build_water_under_oil, empty_at_10, never_still, 14, 35.0, 30.0, 70.0, CUBES, false},
    {"the pen's shell", build_sand_heap, pen_shell, never_still, 24, 40.0, 45.0, 50.0, CUBES, true},
    {"paused, with the pen writing", build_burning_oil, pen_writes_while_paused, still_between_10_and_30, 30, 30.0,
     60.0, 60.0, CUBES, true},
    {"a deep pool that repeats", deep_pool, grain_beside_at_8, still_at_20_and_21, 34, 35.0, 30.0, 90.0, CUBES,
     true},
    {"the eye among the cells", build_filled_block, pour_after_15, never_still, 10, 40.0, 45.0, 12.0, CUBES, false},
    // Kept chunks whose faces turn toward and away from the eye, while the
    // pen's shell is made again and fountains burn between kept triangles.
    {"a turning eye", build_sand_heap, pen_shell, never_still, 24, 30.0, 0.0, 75.0, CUBES, true, 16.0},
    {"an eye swinging to and fro", build_sand_heap, pen_shell, never_still, 24, 35.0, 40.0, 45.0, CUBES, true, 0.0,
     6.0},
    {"a turning eye over fire, as spheres", build_burning_oil, pen_writes_while_paused, still_between_10_and_30, 30,
     50.0, 10.0, 70.0, GRAPHICS_SPHERES, true, 13.0},
};

struct drawn_frame {
    std::vector<unsigned char> pixels;
    int next_rand;
};

drawn_frame draw_frame(const settle_and_wake& run, int frame_number, world& w, fast_renderer& renderer,
                       bool still) {
    const double azimuth = run.azimuth + run.turn * frame_number + run.swing * (frame_number % 2);
    start_desktop_frame(run.elevation, azimuth, run.distance);
    const unsigned seed = 77u + static_cast<unsigned>(frame_number);
    std::srand(seed);
    if (still)
        renderer.draw_still(w, run.style, f);
    else
        renderer.draw(w, run.style, f);
    drawn_frame frame;
    frame.next_rand = std::rand();
    frame.pixels = read_back_pixels();
    return frame;
}

int pixels_differing(const drawn_frame& a, const drawn_frame& b) {
    int differing = 0;
    for (std::size_t i = 0; i < a.pixels.size(); i += 3)
        if (a.pixels[i] != b.pixels[i] || a.pixels[i + 1] != b.pixels[i + 1] || a.pixels[i + 2] != b.pixels[i + 2])
            ++differing;
    return differing;
}

}  // namespace

TEST(KeptMeshes, SettleAndWakeAsTheWholeFrameDoes) {
    for (const settle_and_wake& run : RUNS) {
        SCOPED_TRACE(run.name);
        fast_renderer today, kept;
        today.keep_meshes(false);
        std::unique_ptr<world> plain(new world()), kept_world(new world());
        run.build(*plain);
        run.build(*kept_world);
        bool some_kept = false;
        for (int frame = 0; frame < run.frames; ++frame) {
            SCOPED_TRACE(testing::Message() << "frame " << frame);
            run.write(*plain, frame);
            run.write(*kept_world, frame);
            const drawn_frame expected = draw_frame(run, frame, *plain, today, run.still(frame));
            const drawn_frame drawn = draw_frame(run, frame, *kept_world, kept, run.still(frame));
            ASSERT_EQ(cells_differing(*plain, *kept_world), 0);
            ASSERT_EQ(expected.next_rand, drawn.next_rand) << "rand() was drawn differently";
            ASSERT_EQ(pixels_differing(expected, drawn), 0);
            some_kept = some_kept || kept.kept_counts().kept > 0;
        }
        EXPECT_TRUE(some_kept || !run.keeps) << "no chunk was ever kept";
    }
}

// A walk that passes over every cell it is allowed to: in a still frame after
// a still frame with nothing written, every cell but a burning one is as the
// last walk found it. The draws must be those of the plain walk.
TEST(KeptMeshes, PassedOverRunsAreTheLastWalksCells) {
    std::unique_ptr<world> w(new world());
    build_burning_oil(*w);
    kept_chunks chunks;
    chunks.set_meshes(build_cell_cube(), build_cell_sphere());
    frame_view far_view{};
    far_view.eye[1] = 500.0;
    far_view.eye[0] = far_view.eye[2] = 50.0;
    chunks.sweep(*w, false, CUBES, far_view);
    for (const bool unchanged : {true, false}) {
        frame_record plain;
        std::srand(5);
        plain.record_still(*w);
        std::srand(5);
        chunks.begin(*w, CUBES, far_view);
        still_frame(*w, [&](const ParticleType& cell, int x, int y, int z) {
            if (is_burning(cell))
                chunks.take_cell(*w, false, cell, x, y, z);
            else
                chunks.take_skipped(*w, x, y, z, z + 1, unchanged);
        });
        ++w->walks;
        chunks.finish();
        std::vector<cell_draw> recorded;
        for (int c = 0; c < CHUNK_COUNT; ++c)
            recorded.insert(recorded.end(), chunks.draws(c).begin(), chunks.draws(c).end());
        ASSERT_EQ(recorded.size(), plain.draws().size());
        for (std::size_t i = 0; i < recorded.size(); ++i)
            EXPECT_EQ(0, std::memcmp(&recorded[i], &plain.draws()[i], sizeof(cell_draw))) << "draw " << i;
        EXPECT_EQ(chunks.counts().rebuilt, 0) << "nothing changed, yet triangles were made again";
    }
}
