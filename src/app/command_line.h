#pragma once

#include <cstdio>
#include <string>
#include <vector>

// The command line, read before any window opens: the program's own
// options, GLUT's options (handed on to GLUT alone) and the scene file.

constexpr int RUN_THE_PROGRAM = -1;
constexpr int EXIT_USAGE = 2;

struct command_line {
    int exit_status = RUN_THE_PROGRAM;  // else the program ends at once with it
    std::vector<std::string> glut_arguments;  // the program's name, then GLUT's options and their values
    std::string scene_file;  // "" when none is named
};

// --help and --version print to `out` and end the program with status 0.
// An unknown option (one dash or two), a GLUT option without its value, a
// second scene file, or a scene file given to a stage that takes none is
// named on `err` and ends it with EXIT_USAGE. The first of these decides.
// "--" ends the options: every word after it is a file name.
command_line read_command_line(int argc, char** argv, std::FILE* out, std::FILE* err);
