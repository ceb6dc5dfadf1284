#include <cstdio>

#include "app/command_line.h"
#include "app/gl.h"
#include "app/startup.h"

int main(int argc, char** argv) {
    const int answered = answer_command_line(argc, argv, stdout, stderr);
    if (answered != RUN_THE_PROGRAM) return answered;
    start_program(&argc, argv);  // GLUT takes its own options out of argv
    take_arguments(argc, argv);
    glutMainLoop();
    return 0;
}
