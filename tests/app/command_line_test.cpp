// The command line: what is the scene file, what GLUT is handed, and what
// ends the program before a window opens. The earlier stage takes no file.

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "app/command_line.h"
#include "app/stage.h"

namespace {

struct command_case {
    std::vector<std::string> words;  // after the program's name
    int status;                      // RUN_THE_PROGRAM, 0 or EXIT_USAGE
    std::vector<std::string> glut;   // GLUT's words after the program's name, when run
    std::string scene;               // the scene file, when run
};

TEST(CommandLine, TakesOnlyWordsThatAreNoOptionAsTheSceneFile) {
    const int run = RUN_THE_PROGRAM;
    const command_case cases[] = {
        {{}, run, {}, ""},
        {{"scene.gvx"}, run, {}, "scene.gvx"},
        {{"-display", ":1", "-sync", "s.gvx", "-geometry", "800x600+0+0"},
         run,
         {"-display", ":1", "-sync", "-geometry", "800x600+0+0"},
         "s.gvx"},
        {{"-iconic", "--", "-odd-name.gvx"}, run, {"-iconic"}, "-odd-name.gvx"},
        {{"--", "--help"}, run, {}, "--help"},
        {{"-"}, run, {}, "-"},
        {{"--version", "a.gvx", "b.gvx"}, 0, {}, ""},
        {{"-h"}, EXIT_USAGE, {}, ""},
        {{"-geometery", "800x600"}, EXIT_USAGE, {}, ""},
        {{"--bogus"}, EXIT_USAGE, {}, ""},
        {{"-display"}, EXIT_USAGE, {}, ""},
        {{"a.gvx", "b.gvx"}, EXIT_USAGE, {}, ""},
        {{"a.gvx", "--", "-b.gvx"}, EXIT_USAGE, {}, ""},
        {{"-sync", "a.gvx", "-bogus"}, EXIT_USAGE, {}, ""},
        {{""}, EXIT_USAGE, {}, ""},
    };
    for (const command_case& c : cases) {
        std::string trace = "grainvox";
        for (const std::string& word : c.words) trace += " '" + word + "'";
        SCOPED_TRACE(trace);
        std::vector<std::string> words = {"grainvox"};
        words.insert(words.end(), c.words.begin(), c.words.end());
        std::vector<char*> argv;
        for (std::string& word : words) argv.push_back(word.data());
        argv.push_back(nullptr);
        std::FILE* out = std::tmpfile();
        std::FILE* err = std::tmpfile();
        const command_line line = read_command_line(static_cast<int>(words.size()), argv.data(), out, err);
        const bool refused_file = !c.scene.empty() && !STAGE_TAKES_SCENE_FILE;
        const int expected = refused_file ? EXIT_USAGE : c.status;
        EXPECT_EQ(line.exit_status, expected);
        // A refusal is one line on the error stream, naming the program.
        EXPECT_EQ(std::ftell(err) > 0, expected == EXIT_USAGE);
        if (expected == RUN_THE_PROGRAM) {
            std::vector<std::string> glut = {"grainvox"};
            glut.insert(glut.end(), c.glut.begin(), c.glut.end());
            EXPECT_EQ(line.glut_arguments, glut);
            EXPECT_EQ(line.scene_file, c.scene);
        }
        std::fclose(out);
        std::fclose(err);
    }
}

}  // namespace
