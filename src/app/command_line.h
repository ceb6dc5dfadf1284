#pragma once

#include <cstdio>

// The program's own options, answered before any window opens; everything
// else on the command line is GLUT's.

constexpr int RUN_THE_PROGRAM = -1;
constexpr int EXIT_USAGE = 2;

// --help and --version print to `out` and give exit status 0; an unknown
// option starting with "--" is named on `err` and gives EXIT_USAGE. The
// first such argument decides. Otherwise RUN_THE_PROGRAM.
int answer_command_line(int argc, char** argv, std::FILE* out, std::FILE* err);
