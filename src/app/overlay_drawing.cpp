#include "app/overlay.h"

#include "app/app_state.h"
#include "app/gl.h"

// The overlay drawn into the window with GL's bitmap font.

namespace {

constexpr int TEXT_MARGIN = 10;  // pixels from the window's top left
constexpr int LINE_HEIGHT = 15;

}  // namespace

void draw_overlay() {
    if (!overlay_on) return;
    // Window coordinates, unlit, over everything; the frame's state comes back after.
    glPushAttrib(GL_ENABLE_BIT | GL_CURRENT_BIT);
    glDisable(GL_LIGHTING);
    glDisable(GL_DEPTH_TEST);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    gluOrtho2D(0.0, windx, 0.0, windy);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    int baseline = windy - TEXT_MARGIN;
    for (const std::string& line : overlay_lines(overlay_latest())) {
        baseline -= LINE_HEIGHT;
        glRasterPos2i(TEXT_MARGIN, baseline);
        for (char c : line) glutBitmapCharacter(GLUT_BITMAP_HELVETICA_12, static_cast<signed char>(c));
    }
    glPopMatrix();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glPopAttrib();
}
