#include "app/app_state.h"
#include "app/gl.h"
#include "app/startup.h"

int main(int argc, char** argv) {
    windx = START_WINDOW_WIDTH;
    windy = START_WINDOW_HEIGHT;
    open_window(&argc, argv);
    register_callbacks();
    init_gl_state();
    create_fountains();  // after the window: each loads its texture
    set_start_values();
    w = new world();
    selected_type = TYPE_SAND;
    glutMainLoop();
    return 0;
}
