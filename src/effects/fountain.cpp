#include "effects/fountain.h"

#include <cstdlib>

#include "effects/gl_api.h"

namespace {

constexpr float FULL_LIFE = 1.0f;
constexpr float PARTICLE_RED = 1.0f;
constexpr float PARTICLE_GREEN = 0.3f;
constexpr float PARTICLE_BLUE = 0.0f;
constexpr float RISE_PER_STEP = 1.0f;         // vertical acceleration
constexpr float VELOCITY_SCALE = 1000.0f;      // velocity units per cell
constexpr float HALF_SIZE = 1.5f;              // half the side of a particle square

// First generation: short-lived and fast.
constexpr int FIRST_DECAY_RANGE = 100;
constexpr float FIRST_DECAY_DIVISOR = 1000.0f;
constexpr float FIRST_DECAY_BASE = 0.3f;
constexpr int FIRST_VELOCITY_RANGE = 50;
constexpr int FIRST_VELOCITY_X_OFFSET = 26;
constexpr int FIRST_VELOCITY_OFFSET = 25;
constexpr float FIRST_VELOCITY_FACTOR = 10.0f;

// Later generations: long-lived and slow.
constexpr int RESPAWN_DECAY_RANGE = 100;
constexpr float RESPAWN_DECAY_DIVISOR = 2000.0f;
constexpr float RESPAWN_DECAY_BASE = 0.008f;
constexpr int RESPAWN_POSITION_RANGE = 100;
constexpr int RESPAWN_POSITION_OFFSET = 50;
constexpr int RESPAWN_POSITION_DIVISOR = 200;
constexpr int RESPAWN_SIDEWAYS_RANGE = 40;
constexpr int RESPAWN_UPWARD_RANGE = 60;
constexpr int RESPAWN_VELOCITY_OFFSET = 20;

// Model-view elements that hold the model's x and y axes (column-major).
constexpr int MATRIX_X_AXIS = 0;
constexpr int MATRIX_Y_AXIS = 4;
constexpr int MATRIX_SIZE = 16;

float first_velocity(int offset) {
    return (static_cast<float>(std::rand() % FIRST_VELOCITY_RANGE) - static_cast<float>(offset)) *
           FIRST_VELOCITY_FACTOR;
}

float respawn_velocity(int range) {
    return static_cast<float>(std::rand() % range) - static_cast<float>(RESPAWN_VELOCITY_OFFSET);
}

// Integer division truncates toward zero, so this is always 0; the draw is
// still made to keep the random sequence.
float respawn_position() {
    return static_cast<float>((std::rand() % RESPAWN_POSITION_RANGE - RESPAWN_POSITION_OFFSET) /
                              RESPAWN_POSITION_DIVISOR);
}

// Draws rand() four times: decay, then velocity x, y, z.
void spawn_first(fountainParticle& p) {
    p.alive = true;
    p.life = FULL_LIFE;
    p.decay = static_cast<float>(std::rand() % FIRST_DECAY_RANGE) / FIRST_DECAY_DIVISOR + FIRST_DECAY_BASE;
    p.red = PARTICLE_RED;
    p.green = PARTICLE_GREEN;
    p.blue = PARTICLE_BLUE;
    p.vel_x = first_velocity(FIRST_VELOCITY_X_OFFSET);
    p.vel_y = first_velocity(FIRST_VELOCITY_OFFSET);
    p.vel_z = first_velocity(FIRST_VELOCITY_OFFSET);
    p.acc_x = 0.0f;
    p.acc_y = RISE_PER_STEP;
    p.acc_z = 0.0f;
    p.pos_x = 0.0f;
    p.pos_y = 0.0f;
    p.pos_z = 0.0f;
}

// Draws rand() seven times: decay, position x, y, z, velocity x, y, z.
void respawn(fountainParticle& p) {
    p.life = FULL_LIFE;
    p.decay = static_cast<float>(std::rand() % RESPAWN_DECAY_RANGE) / RESPAWN_DECAY_DIVISOR +
              RESPAWN_DECAY_BASE;
    p.pos_x = respawn_position();
    p.pos_y = respawn_position();
    p.pos_z = respawn_position();
    p.vel_x = respawn_velocity(RESPAWN_SIDEWAYS_RANGE);
    p.vel_y = respawn_velocity(RESPAWN_UPWARD_RANGE);
    p.vel_z = respawn_velocity(RESPAWN_SIDEWAYS_RANGE);
}

void advance(fountainParticle& p) {
    p.pos_x += p.vel_x / VELOCITY_SCALE;
    p.pos_y += p.vel_y / VELOCITY_SCALE;
    p.pos_z += p.vel_z / VELOCITY_SCALE;
    p.vel_x += p.acc_x;
    p.vel_y += p.acc_y;
    p.vel_z += p.acc_z;
    p.life -= p.decay;
    if (p.life < 0.0f) respawn(p);
}

// Replaces the model's x and y axes by the eye's, so the square faces the
// viewer and pos_x, pos_y run along the screen.
void load_facing_matrix() {
    GLfloat m[MATRIX_SIZE];
    glGetFloatv(GL_MODELVIEW_MATRIX, m);
    m[MATRIX_X_AXIS + 0] = 1.0f;
    m[MATRIX_X_AXIS + 1] = 0.0f;
    m[MATRIX_X_AXIS + 2] = 0.0f;
    m[MATRIX_Y_AXIS + 0] = 0.0f;
    m[MATRIX_Y_AXIS + 1] = 1.0f;
    m[MATRIX_Y_AXIS + 2] = 0.0f;
    glLoadMatrixf(m);
}

// The square's corners in the order of its triangle strip: offsets from the
// particle in half sides, and texture coordinates.
struct square_corner {
    float dx, dy, s, t;
};
constexpr square_corner SQUARE_STRIP[] = {{1, 1, 1, 1}, {-1, 1, 0, 1}, {1, -1, 1, 0}, {-1, -1, 0, 0}};
// The two triangles GL makes of that strip, in its order and winding.
constexpr int SQUARE_TRIANGLES[] = {0, 1, 2, 2, 1, 3};

void put_corner(const fountainParticle& p, const square_corner& c) {
    glTexCoord2f(c.s, c.t);
    glVertex3f(p.pos_x + c.dx * HALF_SIZE, p.pos_y + c.dy * HALF_SIZE, p.pos_z);
}

void draw_square(const fountainParticle& p) {
    glBegin(GL_TRIANGLE_STRIP);
    for (const square_corner& corner : SQUARE_STRIP) put_corner(p, corner);
    glEnd();
}

// Additive, textured and over everything: the state the particles are drawn in.
void begin_particle_state(unsigned int texture) {
    glDisable(GL_DEPTH_TEST);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE);
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, texture);
}

// Back to the state the cells are drawn in.
void end_particle_state() {
    glDisable(GL_TEXTURE_2D);
    glEnable(GL_DEPTH_TEST);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glEnable(GL_BLEND);
}

}  // namespace

fountain::fountain() : texture(0) {
    for (fountainParticle& p : particles) spawn_first(p);
    texture = 0;
    LoadGLTextures();
}

// The texture name is kept: a fountain lives until the program ends, and at
// that point there may be no GL context left to release it in.
fountain::~fountain() = default;

void fountain::step() {
    for (fountainParticle& p : particles)
        if (p.alive) advance(p);
}

// The picture does not depend on the cell: the caller has already moved the
// model-view matrix there.
void fountain::draw(int, int, int) {
    begin_particle_state(texture);
    for (const fountainParticle& p : particles) {
        if (!p.alive) continue;
        glColor4f(p.red, p.green, p.blue, p.life);
        glPushMatrix();
        load_facing_matrix();
        draw_square(p);
        glPopMatrix();
    }
    end_particle_state();
}

// Every particle's facing matrix is the same one, so the squares can share
// one matrix load and one primitive: the same triangles, colours and order.
void fountain::draw_in_one_primitive(int, int, int) {
    begin_particle_state(texture);
    glPushMatrix();
    load_facing_matrix();
    glBegin(GL_TRIANGLES);
    for (const fountainParticle& p : particles) {
        if (!p.alive) continue;
        glColor4f(p.red, p.green, p.blue, p.life);
        for (int corner : SQUARE_TRIANGLES) put_corner(p, SQUARE_STRIP[corner]);
    }
    glEnd();
    glPopMatrix();
    end_particle_state();
}
