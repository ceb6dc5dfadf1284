// Frame timings under a display: the cell-by-cell drawing and the batched
// drawing side by side on the same scenes. Each frame is the program's own:
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
#include "bench_scenes.h"
#include "render/core/cell_drawing.h"
#include "render/fixed_function/fast_renderer.h"
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
    draw_floor();
}

// `paused` is the batched drawing of a frame in which the world stands still;
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
    bool evolves;  // rebuilt before every frame, outside the timing
};

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

// The benchmark's time is that of `how`. With `paired`, cell-by-cell frames
// are interleaved with the timed ones, about as much time of each, so that the
// ratio holds even while the machine's speed drifts.
void frame_benchmark(benchmark::State& state, const frame_case& c, drawing how, bool paired) {
    if (how != drawing::sweep_only && !open_display()) {
        state.SkipWithError("no DISPLAY: frame timings skipped (run under tests/xvfb-run.sh)");
        return;
    }
    set_start_values();
    std::unique_ptr<world> w(new world());
    const auto rebuild = [&] {
        w.reset(new world());
        c.build(*w);
    };
    c.build(*w);
    static fast_renderer renderer;
    std::srand(1);
    // Warms the buffers, and counts the fragments a frame of this scene puts down.
    double fragments = 0.0;
    if (how != drawing::sweep_only)
        run_frame(*w, drawing::fast, c.graphics, renderer, &fragments);

    double seconds = 0.0;
    double reference_seconds = 0.0;
    int reference_frames = 0;
    for (auto _ : state) {
        if (paired && reference_seconds <= seconds) {
            if (c.evolves) rebuild();
            reference_seconds += run_frame(*w, drawing::reference, c.graphics, renderer);
            ++reference_frames;
        }
        if (c.evolves) rebuild();
        const double frame = run_frame(*w, how, c.graphics, renderer);
        state.SetIterationTime(frame);
        seconds += frame;
    }

    const double ms = seconds * 1000.0 / static_cast<double>(state.iterations());
    state.counters["ms_per_frame"] = ms;
    state.counters["fps"] = 1000.0 / ms;
    if (how == drawing::sweep_only) {
        sweep_ms()[c.scene] = ms;
        return;
    }
    state.counters["cells"] = static_cast<double>(renderer.record().draws().size());
    state.counters["triangles"] = static_cast<double>(renderer.triangles_drawn());
    if (fragments >= 0.0) state.counters["fragments_passed"] = fragments;
    if (reference_frames > 0) {
        const double reference_ms = reference_seconds * 1000.0 / reference_frames;
        state.counters["reference_ms"] = reference_ms;
        state.counters["x_faster"] = reference_ms / ms;
    }
    const auto sweep = sweep_ms().find(c.scene);
    if (sweep != sweep_ms().end()) state.counters["x_sweep_alone"] = ms / sweep->second;
}

void register_frame_benchmark(const frame_case& c, const char* name, drawing how, bool paired) {
    benchmark::RegisterBenchmark(("Frame/" + c.scene + "/" + name).c_str(),
                                 [c, how, paired](benchmark::State& s) { frame_benchmark(s, c, how, paired); })
        ->UseManualTime()
        ->Unit(benchmark::kMillisecond);
}

void register_frame_benchmarks() {
    const frame_case cases[] = {
        {"empty", build_empty, CUBES, false},
        {"heap_20k", build_heap_20k, CUBES, false},
        {"heap_100k", build_heap_100k, CUBES, false},
        {"mixed_100k", build_mixed_100k, CUBES, true},
        {"heap_20k_spheres", build_heap_20k, GRAPHICS_SPHERES, false},
        {"mixed_100k_spheres", build_mixed_100k, GRAPHICS_SPHERES, true},
        {"full_box_500k", build_full_box, CUBES, false},
        {"full_box_500k_spheres", build_full_box, GRAPHICS_SPHERES, false},
    };
    for (const frame_case& c : cases) {
        register_frame_benchmark(c, "sweep", drawing::sweep_only, false);
        register_frame_benchmark(c, "fast", drawing::fast, true);
        register_frame_benchmark(c, "paused", drawing::paused, false);
        register_frame_benchmark(c, "gles2", drawing::gles2, false);
        if (c.graphics == CUBES && c.scene != "empty")
            register_frame_benchmark(c, "fast_without_pixels", drawing::fast_without_pixels, false);
    }
}

const bool frame_benchmarks_registered = (register_frame_benchmarks(), true);

}  // namespace
