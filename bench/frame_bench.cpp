// Frame timings under a display: today's whole frame and the frame with kept
// meshes side by side on the same scenes, drawn, before any pixel and paused;
// and the cell-by-cell and GLES2 drawings. Each frame is the program's own:
// clear, camera, floor, the sweep with its drawing, and glFinish so that GL's
// work is counted. Without a display the timings are skipped.

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <map>
#include <memory>
#include <string>

#include "app/app_state.h"
#include "app/frame.h"
#include "app/gl.h"
#include "app/startup.h"
#include "allocation_counter.h"
#include "bench_scenes.h"
#include "render/core/cell_drawing.h"
#include "render/fixed_function/fast_renderer.h"
#include "render/fixed_function/fixed_function_frame.h"
#include "render/gles2/gles2_renderer.h"
#include "sim/sweep.h"

#include <GL/freeglut_ext.h>  // glutGetProcAddress, after the GL headers it needs

namespace {

constexpr int FRAME_WIDTH = 640;
constexpr int FRAME_HEIGHT = 480;
constexpr int CUBES = 0;

bool open_display() {
    static const bool opened = [] {
        const char* display = std::getenv("DISPLAY");
        if (display == nullptr || *display == '\0') return false;
        int argc = 1;
        char name[] = "grainvox-bench";
        char* argv[] = {name, nullptr};
        windx = FRAME_WIDTH;
        windy = FRAME_HEIGHT;
        open_window(&argc, argv);
        init_gl_state();
        create_fountains();
        resize(FRAME_WIDTH, FRAME_HEIGHT);
        return true;
    }();
    return opened;
}

void build_empty(world&) {}

void build_heap_20k(world& w) { build_sand_heap(w, 20000); }
void build_heap_100k(world& w) { build_sand_heap(w, 100000); }

// The frame up to the cells: clear, camera and floor.
void start_frame() {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glLoadIdentity();
    place_camera();
    draw_floor_quad(frame_floor());
}

// `fast` is the program's drawing, with or without kept meshes; `paused` the
// same of a frame in which the world stands still;
// `gles2` the whole frame drawn with shaders, as the web page draws it.
enum class drawing { reference, fast, fast_without_pixels, paused, sweep_only, gles2 };

// The web page's drawing, made once in the benchmarks' window.
gles2_renderer& shader_renderer() {
    static gles2_renderer renderer;
    static const bool ready = renderer.init(0, 0, nullptr);
    (void)ready;
    return renderer;
}

// Milliseconds per frame of the sweep alone, by scene, for the ratio reported
// beside the batched drawing.
std::map<std::string, double>& sweep_ms() {
    static std::map<std::string, double> times;
    return times;
}

struct frame_case {
    std::string scene;
    void (*build)(world&);
    int graphics;
};

// Frames drawn before the timing: enough for kept meshes to have their size
// and for a busy chunk to be found busy.
constexpr int WARM_FRAMES = 2 * BUSY_FRAMES;

// GL 1.5's occlusion queries, looked up at run time as the program links GL 1.1.
struct occlusion_queries {
    using gen = void(APIENTRY*)(GLsizei, GLuint*);
    using begin = void(APIENTRY*)(GLenum, GLuint);
    using end = void(APIENTRY*)(GLenum);
    using result = void(APIENTRY*)(GLuint, GLenum, GLuint*);
    gen gen_queries = reinterpret_cast<gen>(glutGetProcAddress("glGenQueries"));
    begin begin_query = reinterpret_cast<begin>(glutGetProcAddress("glBeginQuery"));
    end end_query = reinterpret_cast<end>(glutGetProcAddress("glEndQuery"));
    result query_result = reinterpret_cast<result>(glutGetProcAddress("glGetQueryObjectuiv"));
    bool usable() const { return gen_queries && begin_query && end_query && query_result; }
};

constexpr GLenum SAMPLES_PASSED = 0x8914;
constexpr GLenum QUERY_RESULT = 0x8866;

// Fragments that `draw` gets past every test into the picture, or -1 when GL cannot count them.
template <class Draw>
double fragments_passed(Draw&& draw) {
    static const occlusion_queries gl;
    if (!gl.usable()) {
        draw();
        return -1.0;
    }
    static GLuint query = 0;
    if (query == 0) gl.gen_queries(1, &query);
    gl.begin_query(SAMPLES_PASSED, query);
    draw();
    gl.end_query(SAMPLES_PASSED);
    GLuint passed = 0;
    gl.query_result(query, QUERY_RESULT, &passed);
    return passed;
}

// Times the cell drawing alone: the clear, camera and floor before it are
// finished first, as they cost the same either way.
// With `fragments`, the fragments of the cells are counted there.
double run_frame(world& w, drawing how, int graphics, fast_renderer& renderer, double* fragments = nullptr) {
    if (how != drawing::sweep_only) {
        start_frame();
        glFinish();
    }
    // A one-pixel scissor leaves GL all its work but the pixels'.
    if (how == drawing::fast_without_pixels) {
        glEnable(GL_SCISSOR_TEST);
        glScissor(0, 0, 1, 1);
    }
    const auto start = std::chrono::steady_clock::now();
    switch (how) {
    case drawing::sweep_only:
        sweep_frame(w);
        break;
    case drawing::reference:
        draw_sweep_reference(w, graphics, f);
        glFinish();
        break;
    case drawing::fast:
    case drawing::fast_without_pixels:
        if (fragments != nullptr)
            *fragments = fragments_passed([&] { renderer.draw(w, graphics, f); });
        else
            renderer.draw(w, graphics, f);
        glFinish();
        break;
    case drawing::paused:
        renderer.draw_still(w, graphics, f);
        glFinish();
        break;
    case drawing::gles2: {
        const frame_view view = camera_view(polar_x, polar_y, polar_d, FRAME_WIDTH, FRAME_HEIGHT);
        shader_renderer().record_frame(w, true, graphics, {point_x, point_y, point_z, pen_size}, f, view);
        shader_renderer().draw(view);
        glFinish();
        break;
    }
    }
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    glDisable(GL_SCISSOR_TEST);
    return seconds;
}

// The cells' drawing of the program before meshes were kept (the whole frame
// made and handed to GL every time) and with kept meshes; one of each, for
// the life of the benchmarks.
fast_renderer& renderer_for(bool keeps) {
    static fast_renderer today;
    static const bool plain = (today.keep_meshes(false), true);
    (void)plain;
    static fast_renderer kept;
    return keeps ? kept : today;
}

// A world for each way of drawing, built alike, so that a running scene runs
// on in each as it would in the program.
struct paired_worlds {
    std::unique_ptr<world> today, kept;
    world& of(bool keeps) { return keeps ? *kept : *today; }
};

// The benchmark's time is that of `how`, drawn with kept meshes or not. A
// kept benchmark interleaves frames drawn as today, about as much time of
// each, so that their ratio holds even while the machine's speed drifts.
void frame_benchmark(benchmark::State& state, const frame_case& c, drawing how, bool keeps) {
    if (how != drawing::sweep_only && !open_display()) {
        state.SkipWithError("no DISPLAY: frame timings skipped (run under tests/xvfb-run.sh)");
        return;
    }
    set_start_values();
    paired_worlds worlds{std::make_unique<world>(), std::make_unique<world>()};
    c.build(*worlds.today);
    c.build(*worlds.kept);
    fast_renderer& renderer = renderer_for(keeps);
    std::srand(1);
    // Warms the buffers and the kept meshes, and counts the fragments a frame
    // of this scene puts down.
    double fragments = 0.0;
    if (how != drawing::sweep_only) {
        run_frame(worlds.of(keeps), drawing::fast, c.graphics, renderer, &fragments);
        if (keeps) run_frame(*worlds.today, how, c.graphics, renderer_for(false));
        for (int warm = 1; warm < WARM_FRAMES; ++warm) run_frame(worlds.of(keeps), how, c.graphics, renderer);
    }

    const std::uint64_t allocations_before = heap_allocations();
    std::uint64_t allocations_in_today = 0;
    double seconds = 0.0, today_seconds = 0.0;
    int today_frames = 0;
    chunk_counts chunks;
    for (auto _ : state) {
        if (keeps && how != drawing::sweep_only && today_seconds <= seconds) {
            const std::uint64_t before = heap_allocations();
            today_seconds += run_frame(*worlds.today, how, c.graphics, renderer_for(false));
            allocations_in_today += heap_allocations() - before;
            ++today_frames;
        }
        const double frame = run_frame(worlds.of(keeps), how, c.graphics, renderer);
        state.SetIterationTime(frame);
        seconds += frame;
        const chunk_counts& counts = renderer.kept_counts();
        chunks.kept += counts.kept;
        chunks.rebuilt += counts.rebuilt;
        chunks.streamed += counts.streamed;
    }

    const double frames = static_cast<double>(state.iterations());
    const double ms = seconds * 1000.0 / frames;
    state.counters["ms_per_frame"] = ms;
    state.counters["fps"] = 1000.0 / ms;
    if (how == drawing::sweep_only) {
        sweep_ms()[c.scene] = ms;
        return;
    }
    state.counters["allocations_per_frame"] =
        static_cast<double>(heap_allocations() - allocations_before - allocations_in_today) / frames;
    state.counters["triangles"] = static_cast<double>(renderer.triangles_drawn());
    if (fragments >= 0.0) state.counters["fragments_passed"] = fragments;
    if (keeps) {
        const double drawn = chunks.kept + chunks.rebuilt + chunks.streamed;
        if (drawn > 0) state.counters["chunks_kept_share"] = chunks.kept / drawn;
        state.counters["chunks_rebuilt"] = chunks.rebuilt / frames;
        state.counters["chunks_streamed"] = chunks.streamed / frames;
    }
    if (today_frames > 0) {
        const double today_ms = today_seconds * 1000.0 / today_frames;
        state.counters["today_ms"] = today_ms;
        state.counters["today_triangles"] = static_cast<double>(renderer_for(false).triangles_drawn());
        state.counters["x_cheaper"] = today_ms / ms;
    }
    const auto sweep = sweep_ms().find(c.scene);
    if (sweep != sweep_ms().end()) state.counters["x_sweep_alone"] = ms / sweep->second;
}

void register_frame_benchmark(const frame_case& c, const std::string& name, drawing how, bool keeps) {
    benchmark::RegisterBenchmark(("Frame/" + c.scene + "/" + name).c_str(),
                                 [c, how, keeps](benchmark::State& s) { frame_benchmark(s, c, how, keeps); })
        ->UseManualTime()
        ->Unit(benchmark::kMillisecond);
}

void register_frame_benchmarks() {
    const frame_case cases[] = {
        {"empty", build_empty, CUBES},
        {"heap_20k", build_heap_20k, CUBES},
        {"heap_100k", build_heap_100k, CUBES},
        {"mixed_100k", build_mixed_100k, CUBES},
        {"heap_20k_spheres", build_heap_20k, GRAPHICS_SPHERES},
        {"mixed_100k_spheres", build_mixed_100k, GRAPHICS_SPHERES},
        {"full_box_500k", build_full_box, CUBES},
        {"full_box_500k_spheres", build_full_box, GRAPHICS_SPHERES},
    };
    const std::pair<const char*, drawing> hows[] = {
        {"drawn", drawing::fast},
        {"before_any_pixel", drawing::fast_without_pixels},
        {"paused", drawing::paused},
    };
    for (const frame_case& c : cases) {
        register_frame_benchmark(c, "sweep", drawing::sweep_only, false);
        for (const auto& [name, how] : hows) {
            register_frame_benchmark(c, std::string(name) + "/today", how, false);
            register_frame_benchmark(c, std::string(name) + "/kept", how, true);
        }
        register_frame_benchmark(c, "cell_by_cell", drawing::reference, false);
        register_frame_benchmark(c, "gles2", drawing::gles2, false);
    }
}

const bool frame_benchmarks_registered = (register_frame_benchmarks(), true);

}  // namespace
