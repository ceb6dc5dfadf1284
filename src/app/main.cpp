#include "app/gl.h"
#include "app/startup.h"

int main(int argc, char** argv) {
    start_program(&argc, argv);
    glutMainLoop();
    return 0;
}
