#include "effects/fountain.h"

#include <cstdlib>

namespace {

constexpr float FULL_LIFE = 1.0f;
constexpr float PARTICLE_RED = 1.0f;
constexpr float PARTICLE_GREEN = 0.3f;
constexpr float PARTICLE_BLUE = 0.0f;
constexpr float RISE_PER_STEP = 1.0f;         // vertical acceleration
constexpr float VELOCITY_SCALE = 1000.0f;      // velocity units per cell

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
