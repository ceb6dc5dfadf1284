#include "app/startup.h"

#include "app/app_state.h"
#include "app/frame.h"
#include "app/gl.h"
#include "app/keys.h"
#include "app/mouse.h"
#include "render/core/lighting.h"
#include "render/core/view_math.h"

void open_window(int* argc, char** argv) {
    glutInit(argc, argv);
    glutInitWindowSize(windx, windy);
    glutInitWindowPosition(WINDOW_POS_X, WINDOW_POS_Y);
    glutInitDisplayMode(GLUT_RGB | GLUT_DOUBLE | GLUT_DEPTH);
    glutCreateWindow(GRAINVOX_TITLE);
}

void register_callbacks() {
    glutReshapeFunc(resize);
    glutDisplayFunc(display);
    glutKeyboardFunc(key);
    glutSpecialUpFunc(speckey);
    glutMouseFunc(mouse);
    glutMotionFunc(pmouse);
    glutPassiveMotionFunc(pmouse);
    glutIdleFunc(idle);
}

void init_gl_state() {
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glEnable(GL_CULL_FACE);
    glCullFace(GL_BACK);
    glEnable(GL_DEPTH_TEST);

    // The colour-material mode keeps its default: the current colour drives
    // the ambient and diffuse material.
    glEnable(GL_LIGHT0);
    glEnable(GL_NORMALIZE);
    glEnable(GL_COLOR_MATERIAL);
    glEnable(GL_LIGHTING);

    // Given once, under the identity: the light stays fixed to the viewer.
    glLightfv(GL_LIGHT0, GL_AMBIENT, light_ambient);
    glLightfv(GL_LIGHT0, GL_DIFFUSE, light_diffuse);
    glLightfv(GL_LIGHT0, GL_SPECULAR, light_specular);
    glLightfv(GL_LIGHT0, GL_POSITION, light_position);

    glMaterialfv(GL_FRONT, GL_AMBIENT, mat_ambient);
    glMaterialfv(GL_FRONT, GL_DIFFUSE, mat_diffuse);
    glMaterialfv(GL_FRONT, GL_SPECULAR, mat_specular);
    glMaterialfv(GL_FRONT, GL_SHININESS, high_shininess);

    glDepthFunc(GL_LEQUAL);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glEnable(GL_BLEND);
    glAlphaFunc(GL_GREATER, ALPHA_TEST_REFERENCE);
    glEnable(GL_ALPHA_TEST);
}

void create_fountains() {
    for (int i = 0; i < FOUNTAIN_COUNT; ++i) f[i] = new fountain();
}

void start_program(int* argc, char** argv) {
    windx = START_WINDOW_WIDTH;
    windy = START_WINDOW_HEIGHT;
    open_window(argc, argv);
    register_callbacks();
    init_gl_state();
    create_fountains();  // after the window: each loads its texture
    set_start_values();
    w = new world();
    selected_type = TYPE_SAND;
}

void resize(int width, int height) {
    windx = width;
    windy = height;
    // A window of height 0 would make the aspect a division by zero; it is
    // taken as one pixel high, which keeps the projection invertible.
    const int aspect_height = height > 0 ? height : 1;
    const float aspect = static_cast<float>(width) / static_cast<float>(aspect_height);

    glViewport(0, 0, width, height);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glFrustum(-aspect, aspect, -FRUSTUM_HALF_HEIGHT, FRUSTUM_HALF_HEIGHT, FRUSTUM_NEAR, FRUSTUM_FAR);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}

void idle() { glutPostRedisplay(); }
