#include "app/command_line.h"

#include <cstring>

#include "app/stage.h"
#include "sim/edition.h"

namespace {

const char* const DESCRIPTION =
    "A falling-sand toy in a 100 x 50 x 100 box: pour materials with the mouse\n"
    "and watch them fall, flow, drift, burn and put each other out.\n"
    "\n"
    "Options:\n"
    "  --help      show this text and exit\n"
    "  --version   show the version and exit\n"
    "  GLUT's own options (-display, -geometry, -iconic, ...) are passed on.\n";

const char* const COMMON_KEYS =
    "\n"
    "Controls:\n"
    "  mouse motion          aim the pen at the surface under the pointer\n"
    "  left button, held     pour the selected material\n"
    "  l                     apply the pen once\n"
    "  Shift + motion        raise or lower the pen\n"
    "  Ctrl + motion         move the pointer without moving the pen\n"
    "  right button, drag    orbit the camera\n"
    "  wheel, a, z           camera closer or farther\n";

const char* const MORE_COMMON_KEYS =
    "  +, =, -               pen size up or down (1 to 7)\n"
    "  arrow keys            move the pen across the box\n"
    "  Page Up, Page Down    move the pen up or down\n"
    "  s                     draw cells as cubes or spheres\n"
    "  F1, F2                view from above, start view\n"
    "  F3, F4                turn the box a quarter turn\n"
    "  Escape, q             quit\n";

const char* const TEXTURE_NOTE =
    "\n"
    "The fire's glow is read from particle.bmp: in the working directory, else\n"
    "in the installed data folder (../share/grainvox beside the program's\n"
    "folder), else beside the program.\n";

const char* const END_OF_OPTIONS = "--";

// GLUT's own options, and whether each takes the next word as its value.
struct glut_option {
    const char* name;
    bool takes_value;
};
const glut_option GLUT_OPTIONS[] = {{"-display", true}, {"-geometry", true}, {"-direct", false},
                                    {"-indirect", false}, {"-iconic", false}, {"-gldebug", false},
                                    {"-sync", false}};

const glut_option* glut_option_named(const char* argument) {
    for (const glut_option& option : GLUT_OPTIONS)
        if (std::strcmp(argument, option.name) == 0) return &option;
    return nullptr;
}

bool is_option(const char* argument) { return argument[0] == '-' && argument[1] != '\0'; }

void print_help(const char* program, std::FILE* out) {
    std::fprintf(out, "%s\n", GRAINVOX_TITLE);
    std::fprintf(out, "Usage: %s %s\n", program, STAGE_USAGE);
    for (const char* part : {DESCRIPTION, STAGE_ARGUMENTS_HELP, COMMON_KEYS, STAGE_MATERIAL_KEYS_HELP,
                             MORE_COMMON_KEYS, STAGE_ADDED_KEYS_HELP, TEXTURE_NOTE})
        std::fputs(part, out);
}

command_line usage_error(std::FILE* err, const char* program, const std::string& what) {
    std::fprintf(err, "%s: %s (try --help)\n", program, what.c_str());
    command_line refused;
    refused.exit_status = EXIT_USAGE;
    return refused;
}

command_line answered() {
    command_line done;
    done.exit_status = 0;
    return done;
}

}  // namespace

command_line read_command_line(int argc, char** argv, std::FILE* out, std::FILE* err) {
    const char* program = argc > 0 ? argv[0] : "grainvox";
    command_line line;
    line.glut_arguments.push_back(program);
    bool options_ended = false;
    for (int i = 1; i < argc; ++i) {
        const char* argument = argv[i];
        if (!options_ended && is_option(argument)) {
            if (std::strcmp(argument, END_OF_OPTIONS) == 0) {
                options_ended = true;
            } else if (std::strcmp(argument, "--version") == 0) {
                std::fprintf(out, "%s\n", GRAINVOX_TITLE);
                return answered();
            } else if (std::strcmp(argument, "--help") == 0) {
                print_help(program, out);
                return answered();
            } else if (const glut_option* option = glut_option_named(argument)) {
                line.glut_arguments.push_back(argument);
                if (option->takes_value) {
                    if (i + 1 >= argc) return usage_error(err, program, std::string("option '") + argument + "' needs a value");
                    line.glut_arguments.push_back(argv[++i]);
                }
            } else {
                return usage_error(err, program, std::string("unknown option '") + argument + "'");
            }
            continue;
        }
        if (argument[0] == '\0') return usage_error(err, program, "an empty file name");
        if (!STAGE_TAKES_SCENE_FILE)
            return usage_error(err, program, std::string("unexpected argument '") + argument + "', this program takes no file");
        if (!line.scene_file.empty())
            return usage_error(err, program,
                               "one scene file at a time: '" + line.scene_file + "' and '" + argument + "'");
        line.scene_file = argument;
    }
    return line;
}
