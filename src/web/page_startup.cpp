#include "web/page_startup.h"

#include <GL/glut.h>

#include <cstdlib>

#include "app/app_state.h"
#include "app/mouse.h"
#include "effects/bmp.h"
#include "effects/particle_image_path.h"
#include "web/page_frame.h"
#include "web/page_keys.h"
#include "web/page_status.h"

namespace {

void open_canvas(int* argc, char** argv) {
    glutInit(argc, argv);
    glutInitWindowSize(windx, windy);
    glutInitDisplayMode(GLUT_RGB | GLUT_DOUBLE | GLUT_DEPTH);
    glutCreateWindow(GRAINVOX_TITLE);
}

// The desktop's pointer callbacks serve as they are; the keys go through the
// page's own, which know what the browser keeps. No idle callback: each
// frame asks for the next.
void register_page_callbacks() {
    glutReshapeFunc(resize_page);
    glutDisplayFunc(display_page);
    glutKeyboardFunc(page_key);
    glutSpecialUpFunc(page_special_key);
    glutMouseFunc(mouse);
    glutMotionFunc(pmouse);
    glutPassiveMotionFunc(pmouse);
}

// The fire's texture, read from the particle.bmp packed into the page; without
// it the fire is drawn as plain squares, as on the desktop.
void start_renderer() {
    textureImage image{0, 0, nullptr};
    const bool have_image = loadBMP(find_particle_image().c_str(), &image) != 0;
    start_page_renderer(have_image ? image.width : 0, have_image ? image.height : 0,
                        have_image ? image.data : nullptr);
    std::free(image.data);
}

}  // namespace

void start_page(int* argc, char** argv) {
    windx = START_WINDOW_WIDTH;
    windy = START_WINDOW_HEIGHT;
    open_canvas(argc, argv);
    register_page_callbacks();
    start_renderer();
    for (fountain*& effect : f) effect = new fountain();
    set_start_values();
    w = new world();
    selected_type = TYPE_SAND;
    announce_materials();
}

void run_page() { glutMainLoop(); }
