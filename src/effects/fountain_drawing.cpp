#include "effects/fountain.h"

#include "effects/fountain_gl_state.h"
#include "effects/gl_api.h"

// The fountain drawn with fixed-function GL.

namespace {

// Model-view elements that hold the model's x and y axes (column-major).
constexpr int MATRIX_X_AXIS = 0;
constexpr int MATRIX_Y_AXIS = 4;
constexpr int MATRIX_SIZE = 16;

void put_corner(const fountainParticle& p, const fountain_square_corner& c) {
    glTexCoord2f(c.s, c.t);
    glVertex3f(p.pos_x + c.dx * FOUNTAIN_SQUARE_HALF_SIZE, p.pos_y + c.dy * FOUNTAIN_SQUARE_HALF_SIZE, p.pos_z);
}

void draw_square(const fountainParticle& p) {
    glBegin(GL_TRIANGLE_STRIP);
    for (const fountain_square_corner& corner : FOUNTAIN_SQUARE_STRIP) put_corner(p, corner);
    glEnd();
}

}  // namespace

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

void begin_particle_state(unsigned int texture) {
    glDisable(GL_DEPTH_TEST);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE);
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, texture);
}

void end_particle_state() {
    glDisable(GL_TEXTURE_2D);
    glEnable(GL_DEPTH_TEST);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glEnable(GL_BLEND);
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
        for (int corner : FOUNTAIN_SQUARE_TRIANGLES) put_corner(p, FOUNTAIN_SQUARE_STRIP[corner]);
    }
    glEnd();
    glPopMatrix();
    end_particle_state();
}
