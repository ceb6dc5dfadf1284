#include "render/gles2/gles2_renderer.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "render/core/cell_batches.h"
#include "render/core/cell_mesh.h"
#include "render/core/fountain_items.h"
#include "render/core/frame_data.h"
#include "render/core/kept_chunks.h"
#include "render/core/lighting.h"
#include "render/gles2/gles2_api.h"

namespace {

// The desktop program's light and material as the shader takes them: the
// current colour drives the ambient and diffuse material, lit by the scene's
// and the light's ambient and by the light's diffuse part; the specular part
// is the light's times the material's. The light is white and grey alike.
constexpr float AMBIENT = SCENE_AMBIENT + LIGHT_AMBIENT[0];
constexpr float DIFFUSE = LIGHT_DIFFUSE[0];
constexpr float SPECULAR = LIGHT_SPECULAR[0] * MATERIAL_SPECULAR[0];
// GL's current normal as the desktop frame leaves it for what sets none of
// its own (the floor and the fountains): its start value, which the
// frame's array drawing never changes.
constexpr float CURRENT_NORMAL[3] = {0.0f, 0.0f, 1.0f};

// Lit per corner as GL's fixed-function lighting does, then the alpha test
// and, for the fountains, the texture times the colour.
const char* const VERTEX_SHADER = R"(
attribute vec3 a_position;
attribute vec3 a_normal;
attribute vec4 a_colour;
attribute vec2 a_texcoord;
uniform mat4 u_modelview;
uniform mat4 u_projection;
uniform mat3 u_normal_matrix;
uniform vec3 u_light;
uniform vec3 u_half_vector;
uniform vec3 u_lighting;  // ambient, diffuse, specular
uniform float u_shininess;
varying vec4 v_colour;
varying vec2 v_texcoord;
void main() {
    gl_Position = u_projection * (u_modelview * vec4(a_position, 1.0));
    vec3 n = normalize(u_normal_matrix * a_normal);
    float facing = dot(n, u_light);
    float diffuse = max(facing, 0.0);
    float specular = facing > 0.0 ? pow(max(dot(n, u_half_vector), 0.0), u_shininess) : 0.0;
    vec3 lit = a_colour.rgb * (u_lighting.x + diffuse * u_lighting.y) + vec3(specular * u_lighting.z);
    v_colour = vec4(clamp(lit, 0.0, 1.0), clamp(a_colour.a, 0.0, 1.0));
    v_texcoord = a_texcoord;
}
)";

const char* const FRAGMENT_SHADER = R"(
uniform sampler2D u_texture;
uniform float u_textured;
uniform float u_alpha_reference;
varying vec4 v_colour;
varying vec2 v_texcoord;
void main() {
    vec4 colour = v_colour;
    if (u_textured > 0.5) colour.rgb *= texture2D(u_texture, v_texcoord).rgb;
    if (colour.a <= u_alpha_reference) discard;
    gl_FragColor = colour;
}
)";

#if defined(__EMSCRIPTEN__)
const char* const VERTEX_PREAMBLE = "#version 100\n";
const char* const FRAGMENT_PREAMBLE =
    "#version 100\n"
    "#ifdef GL_FRAGMENT_PRECISION_HIGH\nprecision highp float;\n#else\nprecision mediump float;\n#endif\n";
#else
// Desktop GL speaks GLSL 1.20, whose language the shaders keep to.
const char* const VERTEX_PREAMBLE = "#version 120\n";
const char* const FRAGMENT_PREAMBLE = "#version 120\n";
#endif

enum attribute : GLuint { POSITION = 0, NORMAL, COLOUR, TEXCOORD };

// A fountain particle's square corner: eye space, as the fountain faces the eye.
struct particle_vertex {
    float colour[4];
    float position[3];
    float texcoord[2];
};

// Streamed corners drawn at once, numbered in 16 bits as WebGL 1 takes them.
constexpr std::size_t STREAMED_VERTICES = 1 << 16;

// The floor's quad as two triangles of its corners.
constexpr int FLOOR_TRIANGLES[] = {0, 1, 2, 0, 2, 3};
constexpr int FLOOR_VERTICES = sizeof FLOOR_TRIANGLES / sizeof FLOOR_TRIANGLES[0];

// One step of the cells' drawing, in the frame's order.
struct frame_item {
    bool fountain;
    std::size_t first;  // batch: first corner and first index; fountain: its fountain_item
    std::size_t first_index;
    std::size_t index_count;
};

// GL takes a place in the bound buffer as a pointer that far from null.
const void* in_buffer(std::size_t bytes) { return reinterpret_cast<const void*>(static_cast<std::uintptr_t>(bytes)); }

void to_floats(const double in[16], float out[16]) {
    for (int i = 0; i < 16; ++i) out[i] = static_cast<float>(in[i]);
}

// The matrix that turns normals as `m` turns points: the inverse transpose of its upper 3 x 3.
void normal_matrix(const double m[16], float out[9]) {
    const double a[3][3] = {{m[0], m[4], m[8]}, {m[1], m[5], m[9]}, {m[2], m[6], m[10]}};  // a[row][column]
    double cofactor[3][3];
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c) {
            const int r1 = (r + 1) % 3, r2 = (r + 2) % 3, c1 = (c + 1) % 3, c2 = (c + 2) % 3;
            cofactor[r][c] = a[r1][c1] * a[r2][c2] - a[r1][c2] * a[r2][c1];
        }
    const double det = a[0][0] * cofactor[0][0] + a[0][1] * cofactor[0][1] + a[0][2] * cofactor[0][2];
    // The inverse transpose is the cofactor matrix over the determinant; column-major for GL.
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c) out[c * 3 + r] = static_cast<float>(det != 0.0 ? cofactor[r][c] / det : 0.0);
}

void normalise(float v[3]) {
    const float length = std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
    for (int d = 0; d < 3; ++d) v[d] /= length;
}

GLuint compile(GLenum kind, const char* preamble, const char* source, std::string& error) {
    const GLuint shader = glCreateShader(kind);
    const char* parts[] = {preamble, source};
    glShaderSource(shader, 2, parts, nullptr);
    glCompileShader(shader);
    GLint compiled = GL_FALSE;
    glGetShaderiv(shader, GL_COMPILE_STATUS, &compiled);
    if (compiled != GL_TRUE) {
        char log[1024] = "";
        glGetShaderInfoLog(shader, sizeof log, nullptr, log);
        error = std::string(kind == GL_VERTEX_SHADER ? "vertex" : "fragment") + " shader: " + log;
    }
    return shader;
}

}  // namespace

struct gles2_renderer::state final : batch_sink {
    std::string error;
    GLuint program = 0;
    GLuint texture = 0;
    bool textured = false;
    GLuint cell_vertices = 0, cell_indices = 0, scene_vertices = 0, particle_vertices = 0;
    GLint u_modelview = -1, u_projection = -1, u_normal_matrix = -1, u_light = -1, u_half_vector = -1,
          u_lighting = -1, u_shininess = -1, u_texture = -1, u_textured = -1, u_alpha_reference = -1;

    cell_batcher batcher;
    fountain* const* fountains = nullptr;
    // The frame with kept meshes: each chunk's triangles in WebGL buffers of
    // its own, made again only when its cells changed.
    bool keeps = true;
    kept_chunks kept;
    chunk_mesh made;                      // the chunk being made
    std::vector<std::uint16_t> made_indices;  // its indices as WebGL 1 takes them
    std::vector<GLuint> chunk_buffers;    // vertices and indices of each chunk, or 0
    long kept_triangles = 0;
    // The recorded frame (with kept meshes, the streamed triangles waiting to be drawn).
    std::vector<lit_vertex> vertices;
    std::vector<std::uint16_t> indices;
    // What each burning cell shows: its fountain's particles as they stood when the sweep reached it.
    std::vector<fountain_item> fountain_items;
    std::vector<fountain_corner> fountain_corners;
    std::vector<frame_item> items;
    std::vector<lit_vertex> scene;  // the floor's triangles, then the marker's lines
    std::vector<lit_vertex> last_scene;  // of the frame recorded before
    bool drawn = false;                  // a frame was drawn
    bool unchanged = false;              // this frame's picture is the last one drawn
    frame_scene floor_and_marker;
    std::vector<particle_vertex> particles;

    void take_triangles(const lit_vertex* batch, std::size_t vertex_count, const unsigned* batch_indices,
                        std::size_t index_count) override {
        items.push_back({false, vertices.size(), indices.size(), index_count});
        vertices.insert(vertices.end(), batch, batch + vertex_count);
        for (std::size_t i = 0; i < index_count; ++i) indices.push_back(static_cast<std::uint16_t>(batch_indices[i]));
    }

    void take_fountain(const cell_draw& cell) override {
        const fountain* effect = fountains[cell.fountain];
        if (effect == nullptr) return;
        items.push_back({true, fountain_items.size(), 0, 0});
        record_fountain(cell, *effect, fountain_items, fountain_corners);
    }

    void record_floor_and_marker(const pen_marker_place& pen);
    void record_kept_fountains();
    void draw_kept_cells(const frame_view& view, const float camera[16], const float projection[16],
                         const float camera_normals[9]);
    // Stretch by stretch, with the fountains between: from the bound buffers.
    void draw_chunk_parts(int chunk, const std::vector<mesh_part>& parts, const GLuint buffers[2],
                          std::size_t& next_fountain, const float camera[16], const float projection[16],
                          const float camera_normals[9], const float facing_normal[3]);
    void draw_unseen_fountains(int chunk, std::size_t& next_fountain, const float camera[16],
                               const float projection[16], const float camera_normals[9],
                               const float facing_normal[3]);
    void draw_fountain_item(std::size_t& next_fountain, const float camera[16], const float projection[16],
                            const float camera_normals[9], const float facing_normal[3]);
    // A rebuilt chunk's triangles into its own buffers.
    void upload_made(GLuint vertex_buffer, GLuint index_buffer);
    void stream_made(int chunk, std::size_t& next_fountain, const float camera[16], const float projection[16],
                     const float camera_normals[9], const float facing_normal[3]);
    // The made chunk's corners among those waiting to be drawn; where they start.
    std::size_t append_made_vertices();
    // Draws the streamed triangles waiting, if any.
    void flush_streamed();
    // Hands this frame's vertices and indices to GL's stream buffers.
    void upload_streamed();
    void facing_normal_of(const frame_view& view, float out[3]) const;
    void build_particles(const frame_view& view);
    // Builds the particles and hands them to GL for this frame.
    void upload_particles(const frame_view& view);
    void set_fixed_uniforms();
    void use_lit_vertices(std::size_t first);
    void set_view(const float modelview[16], const float projection[16], const float normals[9]);
    void draw_floor_and_marker();
    void draw_cells_and_fountains(const frame_view& view, const float camera[16], const float projection[16],
                                  const float camera_normals[9]);
    void draw_particles(std::size_t first, std::size_t count, const float projection[16],
                        const float facing_normal[3]);
};

void gles2_renderer::state::record_floor_and_marker(const pen_marker_place& pen) {
    record_scene(pen, floor_and_marker);
    const floor_quad& floor = floor_and_marker.floor;
    scene.clear();
    for (int corner : FLOOR_TRIANGLES) {
        lit_vertex v{};
        for (int c = 0; c < 4; ++c) v.colour[c] = floor.colour[c];
        for (int d = 0; d < 3; ++d) {
            v.normal[d] = CURRENT_NORMAL[d];
            v.position[d] = static_cast<float>(floor.corners[corner][d]);
        }
        scene.push_back(v);
    }

    for (const wire_cube& cube : floor_and_marker.marker)
        // GLUT draws each face of its cube as a loop, lit by the face's normal.
        for (int face = 0; face < CUBE_FACES; ++face)
            for (int edge = 0; edge < QUAD_CORNERS; ++edge)
                for (int end = 0; end < 2; ++end) {
                    const float* corner = GLUT_CUBE_CORNERS[GLUT_CUBE_QUADS[face][(edge + end) % QUAD_CORNERS]];
                    lit_vertex v{};
                    for (int c = 0; c < 4; ++c) v.colour[c] = cube.colour[c];
                    for (int d = 0; d < 3; ++d) {
                        v.normal[d] = GLUT_CUBE_NORMALS[face][d];
                        v.position[d] = static_cast<float>(cube.centre[d] + corner[d] * cube.edge);
                    }
                    scene.push_back(v);
                }
}

// The squares of every fountain drawn, in eye space. The desktop fountain
// keeps the translation and z axis of the cell's model-view matrix and puts
// the eye's x and y axes in place of the model's.
void gles2_renderer::state::build_particles(const frame_view& view) {
    particles.clear();
    const double* m = view.modelview;
    for (const fountain_item& item : fountain_items) {
        const double cell[3] = {static_cast<double>(item.cell.x), static_cast<double>(item.cell.y),
                                static_cast<double>(item.cell.z)};
        double origin[3];
        for (int row = 0; row < 3; ++row)
            origin[row] = m[row] * cell[0] + m[4 + row] * cell[1] + m[8 + row] * cell[2] + m[12 + row];
        for (std::size_t i = item.first_corner; i < item.first_corner + item.corner_count; ++i) {
            const fountain_corner& corner = fountain_corners[i];
            particle_vertex v{{corner.colour[0], corner.colour[1], corner.colour[2], corner.colour[3]},
                              {},
                              {corner.texcoord[0], corner.texcoord[1]}};
            for (int row = 0; row < 3; ++row)
                v.position[row] = static_cast<float>(origin[row] + (row < 2 ? corner.position[row] : 0.0) +
                                                     corner.position[2] * m[8 + row]);
            particles.push_back(v);
        }
    }
}

void gles2_renderer::state::upload_particles(const frame_view& view) {
    build_particles(view);
    if (particles.empty()) return;
    glBindBuffer(GL_ARRAY_BUFFER, particle_vertices);
    glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(particles.size() * sizeof(particle_vertex)),
                 particles.data(), GL_STREAM_DRAW);
}

void gles2_renderer::state::use_lit_vertices(std::size_t first) {
    const GLsizei stride = sizeof(lit_vertex);
    const std::size_t base = first * sizeof(lit_vertex);
    glVertexAttribPointer(POSITION, 3, GL_FLOAT, GL_FALSE, stride, in_buffer(base + offsetof(lit_vertex, position)));
    glVertexAttribPointer(NORMAL, 3, GL_FLOAT, GL_FALSE, stride, in_buffer(base + offsetof(lit_vertex, normal)));
    glVertexAttribPointer(COLOUR, 4, GL_FLOAT, GL_FALSE, stride, in_buffer(base + offsetof(lit_vertex, colour)));
}

void gles2_renderer::state::set_view(const float modelview[16], const float projection[16], const float normals[9]) {
    glUniformMatrix4fv(u_modelview, 1, GL_FALSE, modelview);
    glUniformMatrix4fv(u_projection, 1, GL_FALSE, projection);
    glUniformMatrix3fv(u_normal_matrix, 1, GL_FALSE, normals);
}

gles2_renderer::gles2_renderer() : state_(new state) {}

gles2_renderer::~gles2_renderer() = default;

const char* gles2_renderer::error() const { return state_->error.c_str(); }

long gles2_renderer::triangles_recorded() const {
    return state_->keeps ? state_->kept_triangles : state_->batcher.triangles();
}

bool gles2_renderer::init(int image_width, int image_height, const unsigned char* rgb) {
    state& s = *state_;
    s.error.clear();
    const GLuint vertex = compile(GL_VERTEX_SHADER, VERTEX_PREAMBLE, VERTEX_SHADER, s.error);
    const GLuint fragment = compile(GL_FRAGMENT_SHADER, FRAGMENT_PREAMBLE, FRAGMENT_SHADER, s.error);
    if (!s.error.empty()) {
        glDeleteShader(vertex);
        glDeleteShader(fragment);
        return false;
    }
    s.program = glCreateProgram();
    glAttachShader(s.program, vertex);
    glAttachShader(s.program, fragment);
    glBindAttribLocation(s.program, POSITION, "a_position");
    glBindAttribLocation(s.program, NORMAL, "a_normal");
    glBindAttribLocation(s.program, COLOUR, "a_colour");
    glBindAttribLocation(s.program, TEXCOORD, "a_texcoord");
    glLinkProgram(s.program);
    glDeleteShader(vertex);
    glDeleteShader(fragment);
    GLint linked = GL_FALSE;
    glGetProgramiv(s.program, GL_LINK_STATUS, &linked);
    if (linked != GL_TRUE) {
        char log[1024] = "";
        glGetProgramInfoLog(s.program, sizeof log, nullptr, log);
        s.error = std::string("program: ") + log;
        glDeleteProgram(s.program);
        s.program = 0;
        return false;
    }
    s.u_modelview = glGetUniformLocation(s.program, "u_modelview");
    s.u_projection = glGetUniformLocation(s.program, "u_projection");
    s.u_normal_matrix = glGetUniformLocation(s.program, "u_normal_matrix");
    s.u_light = glGetUniformLocation(s.program, "u_light");
    s.u_half_vector = glGetUniformLocation(s.program, "u_half_vector");
    s.u_lighting = glGetUniformLocation(s.program, "u_lighting");
    s.u_shininess = glGetUniformLocation(s.program, "u_shininess");
    s.u_texture = glGetUniformLocation(s.program, "u_texture");
    s.u_textured = glGetUniformLocation(s.program, "u_textured");
    s.u_alpha_reference = glGetUniformLocation(s.program, "u_alpha_reference");

    GLuint buffers[4];
    glGenBuffers(4, buffers);
    s.cell_vertices = buffers[0];
    s.cell_indices = buffers[1];
    s.scene_vertices = buffers[2];
    s.particle_vertices = buffers[3];

    s.textured = rgb != nullptr && image_width > 0 && image_height > 0;
    if (s.textured) {
        constexpr GLint ROW_ALIGNMENT = 4;
        const auto power_of_two = [](int n) { return (n & (n - 1)) == 0; };
        // WebGL repeats only textures whose sides are powers of two, as the desktop's default does.
        const GLint wrap = power_of_two(image_width) && power_of_two(image_height) ? GL_REPEAT : GL_CLAMP_TO_EDGE;
        glGenTextures(1, &s.texture);
        glBindTexture(GL_TEXTURE_2D, s.texture);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, wrap);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, wrap);
        glPixelStorei(GL_UNPACK_ALIGNMENT, ROW_ALIGNMENT);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, image_width, image_height, 0, GL_RGB, GL_UNSIGNED_BYTE, rgb);
    }
    if (!s.batcher.has_meshes()) s.batcher.set_meshes(build_cell_cube(), build_cell_sphere());
    return true;
}

void gles2_renderer::record_frame(world& w, bool steps, int graphics, const pen_marker_place& pen,
                                  fountain* const* fountains, const frame_view& view) {
    state& s = *state_;
    if (!s.batcher.has_meshes()) s.batcher.set_meshes(build_cell_cube(), build_cell_sphere());
    s.record_floor_and_marker(pen);
    s.vertices.clear();
    s.indices.clear();
    s.fountain_items.clear();
    s.fountain_corners.clear();
    s.items.clear();
    s.fountains = fountains;
    if (s.keeps) {
        if (!s.kept.has_meshes()) s.kept.set_meshes(build_cell_cube(), build_cell_sphere());
        s.kept.sweep(w, steps, graphics, view);
        s.record_kept_fountains();
        s.unchanged = s.drawn && s.kept.drawn_as_last_frame() && s.fountain_items.empty() &&
                      s.scene.size() == s.last_scene.size() &&
                      std::memcmp(s.scene.data(), s.last_scene.data(), s.scene.size() * sizeof(lit_vertex)) == 0;
        s.last_scene.assign(s.scene.begin(), s.scene.end());
    } else if (steps) {
        s.batcher.sweep(w, graphics, view, s);
    } else {
        s.batcher.still(w, graphics, view, s);
    }
}

bool gles2_renderer::picture_unchanged() const { return state_->keeps && state_->unchanged; }

void gles2_renderer::keep_meshes(bool on) {
    state& s = *state_;
    if (s.keeps == on) return;
    s.keeps = on;
    s.kept.forget();
}

bool gles2_renderer::keeps_meshes() const { return state_->keeps; }

// The particles of each fountain drawn, as they stand while the frame is recorded.
void gles2_renderer::state::record_kept_fountains() {
    for (int c = 0; c < CHUNK_COUNT; ++c)
        for (const cell_draw& cell : kept.draws(c))
            if (cell.fountain != NO_FOUNTAIN) take_fountain(cell);
}

// The light, the material and the alpha test: the same every frame.
void gles2_renderer::state::set_fixed_uniforms() {
    float light[3] = {LIGHT_POSITION[0], LIGHT_POSITION[1], LIGHT_POSITION[2]};  // directional: w is 0
    normalise(light);
    float half_vector[3] = {light[0], light[1], light[2] + 1.0f};  // the eye looks down -z
    normalise(half_vector);
    glUniform3fv(u_light, 1, light);
    glUniform3fv(u_half_vector, 1, half_vector);
    glUniform3f(u_lighting, AMBIENT, DIFFUSE, SPECULAR);
    glUniform1f(u_shininess, MATERIAL_SHININESS);
    glUniform1f(u_alpha_reference, ALPHA_TEST_REFERENCE);
    glUniform1i(u_texture, 0);
    glUniform1f(u_textured, 0.0f);
}

void gles2_renderer::state::draw_floor_and_marker() {
    glBindBuffer(GL_ARRAY_BUFFER, scene_vertices);
    glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(scene.size() * sizeof(lit_vertex)), scene.data(),
                 GL_STREAM_DRAW);
    use_lit_vertices(0);
    glDrawArrays(GL_TRIANGLES, 0, FLOOR_VERTICES);
    glDrawArrays(GL_LINES, FLOOR_VERTICES, static_cast<GLsizei>(scene.size()) - FLOOR_VERTICES);
}

// The fountains' squares are lit with the current normal as their matrix
// turns it: the camera's z axis kept, its x and y axes the eye's.
void gles2_renderer::state::facing_normal_of(const frame_view& view, float out[3]) const {
    const double* m = view.modelview;
    const double facing[16] = {1, 0, 0, 0, 0, 1, 0, 0, m[8], m[9], m[10], 0, 0, 0, 0, 1};
    float facing_normals[9];
    normal_matrix(facing, facing_normals);
    for (int row = 0; row < 3; ++row) {
        out[row] = 0.0f;
        for (int k = 0; k < 3; ++k) out[row] += facing_normals[k * 3 + row] * CURRENT_NORMAL[k];
    }
    normalise(out);
}

void gles2_renderer::state::upload_made(GLuint vertex_buffer, GLuint index_buffer) {
    constexpr GLenum usage = GL_STATIC_DRAW;
    // A chunk's corners are fewer than 1 << 16: at most 44 for each of its cells.
    made_indices.assign(made.indices.begin(), made.indices.end());
    glBindBuffer(GL_ARRAY_BUFFER, vertex_buffer);
    glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(made.vertices.size() * sizeof(lit_vertex)),
                 made.vertices.data(), usage);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, index_buffer);
    glBufferData(GL_ELEMENT_ARRAY_BUFFER, static_cast<GLsizeiptr>(made_indices.size() * sizeof(std::uint16_t)),
                 made_indices.data(), usage);
}

void gles2_renderer::state::draw_kept_cells(const frame_view& view, const float camera[16], const float projection[16],
                                             const float camera_normals[9]) {
    upload_particles(view);
    float facing_normal[3];
    facing_normal_of(view, facing_normal);
    if (chunk_buffers.empty()) {
        chunk_buffers.assign(2 * CHUNK_COUNT, 0);
    }
    kept_triangles = 0;
    std::size_t next_fountain = 0;
    for (int c = 0; c < CHUNK_COUNT; ++c) {
        GLuint* buffers = &chunk_buffers[2 * static_cast<std::size_t>(c)];
        const chunk_use use = kept.use(c);
        if (use == chunk_use::empty) {
            if (buffers[0] != 0) glDeleteBuffers(2, buffers);
            buffers[0] = buffers[1] = 0;
            continue;
        }
        if (use == chunk_use::unseen) {
            draw_unseen_fountains(c, next_fountain, camera, projection, camera_normals, facing_normal);
            continue;
        }
        if (use == chunk_use::kept) {
            flush_streamed();
            draw_chunk_parts(c, kept.kept_parts(c), buffers, next_fountain, camera, projection, camera_normals,
                             facing_normal);
            continue;
        }
        if (kept.make(c, made) == chunk_use::rebuilt) {
            flush_streamed();
            if (buffers[0] == 0) glGenBuffers(2, buffers);
            upload_made(buffers[0], buffers[1]);
            draw_chunk_parts(c, kept.kept_parts(c), buffers, next_fountain, camera, projection, camera_normals,
                             facing_normal);
        } else {
            stream_made(c, next_fountain, camera, projection, camera_normals, facing_normal);
        }
    }
    flush_streamed();
}

// Chunks made for this frame alone go to WebGL together, in one upload and
// draw for as many as fit, as the whole frame did: on the page each call costs.
void gles2_renderer::state::stream_made(int chunk, std::size_t& next_fountain, const float camera[16],
                                         const float projection[16], const float camera_normals[9],
                                         const float facing_normal[3]) {
    std::size_t base = append_made_vertices();
    std::uint32_t begin = 0;
    for (const mesh_part& part : made.parts) {
        for (std::uint32_t i = begin; i < part.index_end; ++i)
            indices.push_back(static_cast<std::uint16_t>(base + made.indices[i]));
        begin = part.index_end;
        if (part.fountain_draw == NO_DRAW) continue;
        const cell_draw& cell = kept.draws(chunk)[static_cast<std::size_t>(part.fountain_draw)];
        if (fountains[cell.fountain] == nullptr) continue;
        draw_fountain_item(next_fountain, camera, projection, camera_normals, facing_normal);
        base = append_made_vertices();
    }
}

std::size_t gles2_renderer::state::append_made_vertices() {
    if (vertices.size() + made.vertices.size() > STREAMED_VERTICES) flush_streamed();
    const std::size_t base = vertices.size();
    vertices.insert(vertices.end(), made.vertices.begin(), made.vertices.end());
    return base;
}

void gles2_renderer::state::upload_streamed() {
    glBindBuffer(GL_ARRAY_BUFFER, cell_vertices);
    glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(vertices.size() * sizeof(lit_vertex)), vertices.data(),
                 GL_STREAM_DRAW);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, cell_indices);
    glBufferData(GL_ELEMENT_ARRAY_BUFFER, static_cast<GLsizeiptr>(indices.size() * sizeof(std::uint16_t)),
                 indices.data(), GL_STREAM_DRAW);
}

void gles2_renderer::state::flush_streamed() {
    if (!indices.empty()) {
        upload_streamed();
        use_lit_vertices(0);
        glDrawElements(GL_TRIANGLES, static_cast<GLsizei>(indices.size()), GL_UNSIGNED_SHORT, in_buffer(0));
        kept_triangles += static_cast<long>(indices.size() / 3);
    }
    vertices.clear();
    indices.clear();
}

void gles2_renderer::state::draw_chunk_parts(int chunk, const std::vector<mesh_part>& parts, const GLuint buffers[2],
                                              std::size_t& next_fountain, const float camera[16],
                                              const float projection[16], const float camera_normals[9],
                                              const float facing_normal[3]) {
    std::uint32_t begin = 0;
    for (const mesh_part& part : parts) {
        if (part.index_end > begin) {
            glBindBuffer(GL_ARRAY_BUFFER, buffers[0]);
            glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, buffers[1]);
            use_lit_vertices(0);
            glDrawElements(GL_TRIANGLES, static_cast<GLsizei>(part.index_end - begin), GL_UNSIGNED_SHORT,
                           in_buffer(begin * sizeof(std::uint16_t)));
            kept_triangles += static_cast<long>(part.index_end - begin) / 3;
        }
        begin = part.index_end;
        if (part.fountain_draw == NO_DRAW) continue;
        const cell_draw& cell = kept.draws(chunk)[static_cast<std::size_t>(part.fountain_draw)];
        if (fountains[cell.fountain] != nullptr)
            draw_fountain_item(next_fountain, camera, projection, camera_normals, facing_normal);
    }
}

void gles2_renderer::state::draw_unseen_fountains(int chunk, std::size_t& next_fountain, const float camera[16],
                                                   const float projection[16], const float camera_normals[9],
                                                   const float facing_normal[3]) {
    for (const cell_draw& cell : kept.draws(chunk))
        if (cell.fountain != NO_FOUNTAIN && fountains[cell.fountain] != nullptr)
            draw_fountain_item(next_fountain, camera, projection, camera_normals, facing_normal);
}

// The next recorded fountain's particles, after the triangles before it.
void gles2_renderer::state::draw_fountain_item(std::size_t& next_fountain, const float camera[16],
                                                const float projection[16], const float camera_normals[9],
                                                const float facing_normal[3]) {
    flush_streamed();
    const fountain_item& item = fountain_items[next_fountain++];
    draw_particles(item.first_corner, item.corner_count, projection, facing_normal);
    set_view(camera, projection, camera_normals);
}

void gles2_renderer::state::draw_cells_and_fountains(const frame_view& view, const float camera[16],
                                                     const float projection[16], const float camera_normals[9]) {
    upload_streamed();
    upload_particles(view);
    float facing_normal[3];
    facing_normal_of(view, facing_normal);

    for (const frame_item& item : items) {
        if (!item.fountain) {
            glBindBuffer(GL_ARRAY_BUFFER, cell_vertices);
            use_lit_vertices(item.first);
            glDrawElements(GL_TRIANGLES, static_cast<GLsizei>(item.index_count), GL_UNSIGNED_SHORT,
                           in_buffer(item.first_index * sizeof(std::uint16_t)));
            continue;
        }
        const fountain_item& drawn = fountain_items[item.first];
        draw_particles(drawn.first_corner, drawn.corner_count, projection, facing_normal);
        set_view(camera, projection, camera_normals);
    }
}

void gles2_renderer::draw(const frame_view& view) {
    state& s = *state_;
    s.drawn = true;
    glViewport(view.viewport[0], view.viewport[1], view.viewport[2], view.viewport[3]);
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glDepthMask(GL_TRUE);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    if (s.program == 0) return;

    glUseProgram(s.program);
    glEnable(GL_CULL_FACE);
    glCullFace(GL_BACK);
    glFrontFace(GL_CCW);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LEQUAL);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    s.set_fixed_uniforms();

    float camera[16], projection[16], camera_normals[9];
    to_floats(view.modelview, camera);
    to_floats(view.projection, projection);
    normal_matrix(view.modelview, camera_normals);
    s.set_view(camera, projection, camera_normals);

    glEnableVertexAttribArray(POSITION);
    glEnableVertexAttribArray(NORMAL);
    glEnableVertexAttribArray(COLOUR);
    glDisableVertexAttribArray(TEXCOORD);
    glVertexAttrib2f(TEXCOORD, 0.0f, 0.0f);
    s.draw_floor_and_marker();
    if (s.keeps)
        s.draw_kept_cells(view, camera, projection, camera_normals);
    else
        s.draw_cells_and_fountains(view, camera, projection, camera_normals);

    // Nothing of ours stays bound, so that other drawing in the context is not disturbed.
    glDisableVertexAttribArray(POSITION);
    glDisableVertexAttribArray(NORMAL);
    glDisableVertexAttribArray(COLOUR);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);
    glUseProgram(0);
}

// Additive, textured and over everything, as the desktop fountain draws.
void gles2_renderer::state::draw_particles(std::size_t first, std::size_t count, const float projection[16],
                                           const float facing_normal[3]) {
    static constexpr float IDENTITY[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    static constexpr float IDENTITY_NORMALS[9] = {1, 0, 0, 0, 1, 0, 0, 0, 1};
    set_view(IDENTITY, projection, IDENTITY_NORMALS);
    glDisable(GL_DEPTH_TEST);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE);
    if (textured) {
        glActiveTexture(GL_TEXTURE0);
        glBindTexture(GL_TEXTURE_2D, texture);
        glUniform1f(u_textured, 1.0f);
    }
    glDisableVertexAttribArray(NORMAL);
    glVertexAttrib3fv(NORMAL, facing_normal);
    glEnableVertexAttribArray(TEXCOORD);
    glBindBuffer(GL_ARRAY_BUFFER, particle_vertices);
    const GLsizei stride = sizeof(particle_vertex);
    glVertexAttribPointer(POSITION, 3, GL_FLOAT, GL_FALSE, stride, in_buffer(offsetof(particle_vertex, position)));
    glVertexAttribPointer(COLOUR, 4, GL_FLOAT, GL_FALSE, stride, in_buffer(offsetof(particle_vertex, colour)));
    glVertexAttribPointer(TEXCOORD, 2, GL_FLOAT, GL_FALSE, stride, in_buffer(offsetof(particle_vertex, texcoord)));
    glDrawArrays(GL_TRIANGLES, static_cast<GLint>(first), static_cast<GLsizei>(count));

    glDisableVertexAttribArray(TEXCOORD);
    glEnableVertexAttribArray(NORMAL);
    glUniform1f(u_textured, 0.0f);
    glEnable(GL_DEPTH_TEST);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
}
