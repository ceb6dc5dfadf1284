#include <cstdio>
#include <string>
#include <vector>

#include "app/command_line.h"
#include "app/gl.h"
#include "app/stage.h"
#include "app/startup.h"

int main(int argc, char** argv) {
    const command_line line = read_command_line(argc, argv, stdout, stderr);
    if (line.exit_status != RUN_THE_PROGRAM) return line.exit_status;
    // GLUT is handed its own options only, so that it reads no file name as one.
    std::vector<std::string> glut_words = line.glut_arguments;
    std::vector<char*> glut_argv;
    for (std::string& word : glut_words) glut_argv.push_back(word.data());
    glut_argv.push_back(nullptr);
    int glut_argc = static_cast<int>(glut_words.size());
    start_program(&glut_argc, glut_argv.data());
    take_stage_arguments(line);
    glutMainLoop();
    return 0;
}
