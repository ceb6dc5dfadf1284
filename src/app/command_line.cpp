#include "app/command_line.h"

#include <cstring>

#include "sim/edition.h"

namespace {

const char* const DESCRIPTION =
    "A falling-sand toy in a 100 x 50 x 100 box: pour materials with the mouse\n"
    "and watch them fall, flow, drift, burn and put each other out.\n"
    "\n"
    "Options:\n"
    "  --help      show this text and exit\n"
    "  --version   show the version and exit\n"
    "  GLUT's own options (-display, -geometry, -iconic, ...) are passed on.\n"
#if !GRAINVOX_EARLY_STAGE
    "  SCENE       a scene file to start with; F5 saves to it, F9 loads it again\n"
    "              (without one, both use grainvox.gvx in the working directory)\n"
#endif
    "\n"
    "Controls:\n"
    "  mouse motion          aim the pen at the surface under the pointer\n"
    "  left button, held     pour the selected material\n"
    "  l                     apply the pen once\n"
    "  Shift + motion        raise or lower the pen\n"
    "  Ctrl + motion         move the pointer without moving the pen\n"
    "  right button, drag    orbit the camera\n"
    "  wheel, a, z           camera closer or farther\n"
#if GRAINVOX_EARLY_STAGE
    "  p                     next material\n"
#else
    "  1, 6                  Eraser\n"
    "  2, 3, 4, 5            next powder, liquid, gas, solid\n"
    "  p                     next material, whatever its kind\n"
#endif
    "  +, =, -               pen size up or down (1 to 7)\n"
    "  arrow keys            move the pen across the box\n"
    "  Page Up, Page Down    move the pen up or down\n"
    "  s                     draw cells as cubes or spheres\n"
    "  F1, F2                view from above, start view\n"
    "  F3, F4                turn the box a quarter turn\n"
#if !GRAINVOX_EARLY_STAGE
    "  F10                   empty the box\n"
#endif
    "  Escape, q             quit\n"
#if !GRAINVOX_EARLY_STAGE
    "  Space                 pause or run the world (paused, the pen still pours)\n"
    "  f                     while paused, step the world once\n"
    "  F5, F9                save the box to the scene file, load it again\n"
    "  F12                   information overlay on or off\n"
#endif
    "\n"
    "The fire's glow is read from particle.bmp: in the working directory, else\n"
    "in the installed data folder (../share/grainvox beside the program's\n"
    "folder), else beside the program.\n";

#if GRAINVOX_EARLY_STAGE
const char* const USAGE = "[GLUT options]";
#else
const char* const USAGE = "[GLUT options] [SCENE]";
#endif

bool is_long_option(const char* argument) { return std::strncmp(argument, "--", 2) == 0; }

}  // namespace

int answer_command_line(int argc, char** argv, std::FILE* out, std::FILE* err) {
    const char* program = argc > 0 ? argv[0] : "grainvox";
    for (int i = 1; i < argc; ++i) {
        const char* argument = argv[i];
        if (std::strcmp(argument, "--version") == 0) {
            std::fprintf(out, "%s\n", GRAINVOX_TITLE);
            return 0;
        }
        if (std::strcmp(argument, "--help") == 0) {
            std::fprintf(out, "%s\n", GRAINVOX_TITLE);
            std::fprintf(out, "Usage: %s %s\n", program, USAGE);
            std::fputs(DESCRIPTION, out);
            return 0;
        }
        if (is_long_option(argument)) {
            std::fprintf(err, "%s: unknown option '%s' (try --help)\n", program, argument);
            return EXIT_USAGE;
        }
    }
    return RUN_THE_PROGRAM;
}
