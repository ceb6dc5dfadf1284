#pragma once

#include <memory>

#include "effects/fountain.h"
#include "render/core/frame_data.h"
#include "render/core/view_math.h"
#include "sim/world.h"

// The frame drawn with OpenGL ES 2 / WebGL 1 alone: shaders and vertex
// buffers, no fixed-function state, no matrix or depth read-back. The
// picture is the desktop program's: the same lit cubes or spheres, colours,
// blending and order, floor, pen marker and fountains. It needs no GL or
// GLUT header from its caller.
//
// How a page draws with it, on the thread that owns the GL context:
//
//   gles2_renderer renderer;                 // one, kept for the program's life
//   renderer.init(width, height, rgb);       // once the context exists: the
//                                            // particle image as loadBMP gives it,
//                                            // or nullptr for plain squares
//   every frame:
//     if (sand_on) add_sand();
//     limit_camera();
//     const frame_view view = camera_view(polar_x, polar_y, polar_d, canvas_width, canvas_height);
//     renderer.record_frame(*w, steps, graphics, {point_x, point_y, point_z, pen_size}, f, view);
//     renderer.draw(view);                   // clears and draws the whole frame
//     for (fountain* effect : f) if (effect) effect->step();
//
// record_frame steps the world (or, with `steps` false, leaves it as it
// stands), drawing rand() exactly as the desktop frame does. The fountains
// are read, never drawn through: their `texture` is not used. The picking
// that goes with it is ray_pick (render/ray_pick.h), given the same view.

class gles2_renderer {
public:
    gles2_renderer();
    ~gles2_renderer();
    gles2_renderer(const gles2_renderer&) = delete;
    gles2_renderer& operator=(const gles2_renderer&) = delete;

    // Compiles the shaders and makes the buffers and the particle texture
    // from `rgb`: width x height pixels of three bytes, rows bottom up, each
    // row starting on a multiple of four bytes. False, with the reason in
    // error(), when the shaders do not build; draw() then draws nothing.
    bool init(int image_width, int image_height, const unsigned char* rgb);
    const char* error() const;

    // The frame's content: the floor, the pen marker, and one sweep of the
    // world with each cell as it was before its step (a burning cell as one
    // of the FOUNTAIN_COUNT `fountains`, picked and recorded as the desktop
    // does). Faces that cannot show in `view` are left out.
    void record_frame(world& w, bool steps, int graphics, const pen_marker_place& pen, fountain* const* fountains,
                      const frame_view& view);

    // The recorded frame would draw exactly the picture drawn last: kept
    // meshes, the same camera, floor and marker, every chunk as before, and no
    // fountain. A page may then leave the picture it shows as it is.
    bool picture_unchanged() const;

    // Clears the viewport and draws the recorded frame. It sets the depth,
    // blending and culling it needs, and leaves no program, buffer or
    // attribute array of its own in use.
    void draw(const frame_view& view);

    // Triangles of cells in the last recorded frame (with kept meshes, in
    // the last frame drawn).
    long triangles_recorded() const;

    // Whether the cells' triangles are kept between frames in WebGL buffers,
    // made again only where the cells changed, or made and uploaded whole
    // every frame. The picture is the same either way.
    void keep_meshes(bool on);
    bool keeps_meshes() const;

private:
    struct state;
    std::unique_ptr<state> state_;
};
