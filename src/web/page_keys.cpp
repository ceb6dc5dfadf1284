#include "web/page_keys.h"

#include <GL/glut.h>

#include "app/keys.h"
#include "app/scene_keys.h"
#include "web/page_scenes.h"

namespace {

constexpr unsigned char KEY_ESCAPE = 27;
constexpr unsigned char KEY_QUIT = 'q';
constexpr unsigned char KEY_OPEN_SCENE = 'o';

// A character standing in for a special key the browser keeps.
struct stand_in_key {
    unsigned char character;
    int special_key;  // GLUT's code
};

constexpr stand_in_key STAND_INS[] = {
    {'t', GLUT_KEY_F1},   // top view
    {'[', GLUT_KEY_F3},   // a quarter turn one way
    {']', GLUT_KEY_F4},   // and the other, beside it
    {'w', GLUT_KEY_F5},   // write the box to a file
    {'r', GLUT_KEY_F9},   // load the scene file again
    {'e', GLUT_KEY_F10},  // empty the box
    {'i', GLUT_KEY_F12},  // information overlay
};

constexpr int BROWSER_KEPT[] = {GLUT_KEY_F1, GLUT_KEY_F3, GLUT_KEY_F5, GLUT_KEY_F10, GLUT_KEY_F12};

// The desktop's handling, and on the page a saved scene is also offered as a download.
void press_special_key(int k) {
    handle_special_key(k);
    if (k == GLUT_KEY_F5) offer_saved_scene();
}

// The special key `c` stands in for, or 0 when it stands in for none.
int special_key_for(unsigned char c) {
    for (const stand_in_key& stand_in : STAND_INS)
        if (stand_in.character == c) return stand_in.special_key;
    return 0;
}

bool browser_keeps(int special_key) {
    for (int kept : BROWSER_KEPT)
        if (kept == special_key) return true;
    return false;
}

}  // namespace

const char* const SAVE_KEY_NAME = "w";

void page_key(unsigned char c, int, int) {
    if (c == KEY_ESCAPE || c == KEY_QUIT) return;
    if (c == KEY_OPEN_SCENE) {
        open_scene_picker();
    } else if (const int special = special_key_for(c)) {
        press_special_key(special);
    } else {
        handle_key(c);
    }
    glutPostRedisplay();
}

void page_special_key(int k, int, int) {
    if (browser_keeps(k)) return;
    press_special_key(k);
    glutPostRedisplay();
}
