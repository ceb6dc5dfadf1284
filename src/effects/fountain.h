#pragma once

#include "sim/world.h"  // FOUNTAIN_COUNT, the fountains the program keeps

// The small textured particle effect that shows a burning cell.

constexpr int FOUNTAIN_PARTICLES = 25;  // particles in each

struct fountainParticle {
    bool alive;
    float life;   // 1 at spawn, also the alpha it is drawn with
    float decay;  // life lost per step
    float red, green, blue;
    float pos_x, pos_y, pos_z;  // from the fountain's origin, in cells
    float vel_x, vel_y, vel_z;  // thousandths of a cell per step
    float acc_x, acc_y, acc_z;
};

class fountain {
public:
    unsigned int texture;  // GL texture name; 0 when particle.bmp could not be loaded
    fountainParticle particles[FOUNTAIN_PARTICLES];

    fountain();  // needs a current GL context: it makes the texture
    ~fountain();

    void step();
    // Draws the particles around the origin of the current model-view matrix.
    void draw(int x, int y, int z);
    // The same picture and GL state afterwards as draw(), for less GL work.
    void draw_in_one_primitive(int x, int y, int z);
    int LoadGLTextures();
};
