#pragma once

#include "sim/world.h"  // FOUNTAIN_COUNT, the fountains the program keeps

// The small textured particle effect that shows a burning cell.

constexpr int FOUNTAIN_PARTICLES = 25;  // particles in each

// A particle is drawn as a square facing the viewer: its corners in the order
// of its triangle strip, as offsets from the particle in half sides, with
// their texture coordinates, and the two triangles GL makes of that strip.
constexpr float FOUNTAIN_SQUARE_HALF_SIZE = 1.5f;  // cells
struct fountain_square_corner {
    float dx, dy, s, t;
};
constexpr fountain_square_corner FOUNTAIN_SQUARE_STRIP[] = {{1, 1, 1, 1}, {-1, 1, 0, 1}, {1, -1, 1, 0}, {-1, -1, 0, 0}};
constexpr int FOUNTAIN_SQUARE_TRIANGLES[] = {0, 1, 2, 2, 1, 3};

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
