// Saved scenes through the keys: what is saved comes back field by field
// (empty cells without the fountain a fire picked for them) and steps on
// alike; a file that is not a scene is never saved over. The format and
// what a save may replace are tested in tests/scene.

#include <GL/glut.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/box_history.h"
#include "app/keys.h"
#include "app/messages.h"
#include "app/scene_keys.h"
#include "scene/scene_file.h"
#include "app_fixture.h"
#include "scene_test_files.h"
#include "scenes.h"

namespace {

using namespace scene_test;

// Each test writes in a folder of its own under TMPDIR, removed after it.
class SceneFileTest : public AppTest {
protected:
    void SetUp() override {
        AppTest::SetUp();
        ASSERT_FALSE(folder.empty());
        scene_path = (folder / "scene.gvx").string();
    }
    void TearDown() override {
        scene_path = DEFAULT_SCENE_FILE;
        AppTest::TearDown();
    }

    // The names in the folder, so that a stray temporary file shows.
    std::vector<std::string> folder_names() const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(folder)) names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

    scratch_folder scratch;
    const fs::path folder = scratch.path;
};

void run_frame(world& w, unsigned seed) {
    std::srand(seed);
    run_frame_picking_fountains(w);
}

// Every material, left to run until cells burn part way, Water is tinted
// under pressure and liquids carry the pressure token; then a few cells
// set by hand to states the rules reach less often.
void build_lively_scene(world& w) {
    fill_box(w, TYPE_WALL, 20, 80, 0, 1, 20, 80);
    fill_box(w, TYPE_WATER, 22, 40, 1, 8, 22, 78);
    fill_box(w, TYPE_OIL, 45, 78, 1, 6, 22, 78);
    fill_box(w, TYPE_FIRE, 55, 60, 6, 7, 40, 45);
    fill_box(w, TYPE_SAND, 25, 35, 12, 16, 25, 35);
    fill_box(w, TYPE_GLASS, 60, 70, 10, 11, 60, 70);
    fill_box(w, TYPE_METHANE, 60, 64, 12, 14, 60, 64);
    fill_box(w, TYPE_HYDROGEN_SULFIDE, 10, 14, 20, 22, 10, 14);
    fill_box(w, TYPE_CARBON_DIOXIDE, 80, 84, 20, 22, 80, 84);
    fill_box(w, TYPE_NITROGEN_DIOXIDE, 5, 9, 30, 32, 85, 89);
    for (unsigned frame = 0; frame < 12; ++frame) run_frame(w, 40u + frame);
    // The first and last cells of the box, a half-ignited Oil, a burning one,
    // and an empty cell that kept the pick of a fire that left it.
    w.add_particle(TYPE_SAND, 0, 0, 0);
    w.add_particle(TYPE_OIL, GRID_X - 1, GRID_Y - 1, GRID_Z - 1);
    w.grid[GRID_X - 1][GRID_Y - 1][GRID_Z - 1].ignition_delay = 4;
    w.add_particle(TYPE_OIL, 0, 0, 1);
    ParticleType& burning = w.grid[0][0][1];
    burning.ignition_delay = 0;
    burning.burn_time = 77;
    burning.fountain_index = FOUNTAIN_COUNT - 1;
    w.grid[1][0][0].fountain_index = 2;
}

struct scene_census {
    int materials = 0, burning = 0, part_ignited = 0, tinted = 0, pressured = 0, empty_with_pick = 0;
};

scene_census take_census(const world& w) {
    scene_census census;
    bool seen[TYPE_COUNT] = {};
    for (int x = 0; x < GRID_X; ++x)
        for (int y = 0; y < GRID_Y; ++y)
            for (int z = 0; z < GRID_Z; ++z) {
                const ParticleType& p = w.grid[x][y][z];
                census.empty_with_pick += p.id == TYPE_ERASER && p.fountain_index != 0;
                if (p.id == TYPE_ERASER) continue;
                seen[p.id] = true;
                census.burning += is_burning(p);
                census.part_ignited += p.ignition_delay > 0 && p.ignition_delay < w.types[p.id].ignition_delay;
                census.tinted += p.id == TYPE_WATER && p.green != w.types[TYPE_WATER].green;
                census.pressured += p.pressured;
            }
    for (bool s : seen) census.materials += s;
    return census;
}

TEST_F(SceneFileTest, SavedBoxComesBackFieldByFieldAndStepsOnAlike) {
    build_lively_scene(*w);
    const scene_census census = take_census(*w);
    ASSERT_EQ(census.materials, TYPE_COUNT - 1);
    ASSERT_GT(census.burning, 10);
    ASSERT_GT(census.part_ignited, 0);
    ASSERT_GT(census.tinted, 0);
    ASSERT_GT(census.pressured, 0);
    ASSERT_GT(census.empty_with_pick, 0);
    const std::unique_ptr<world> original = copy_of(*w);
    forget_empty_picks(*original);

    // Saved with the key, the box emptied, and loaded again with the key.
    handle_special_key(GLUT_KEY_F5);
    ASSERT_TRUE(fs::exists(scene_path)) << message_at(std::chrono::steady_clock::now());
    handle_special_key(GLUT_KEY_F10);
    ASSERT_EQ(count_non_empty(), 0);
    handle_special_key(GLUT_KEY_F9);
    EXPECT_EQ(cells_differing(*w, *original), 0);

    // Saving over the file replaces it whole and leaves nothing beside it.
    handle_special_key(GLUT_KEY_F5);
    EXPECT_EQ(folder_names(), std::vector<std::string>{"scene.gvx"});

    for (unsigned frame = 0; frame < 30; ++frame) {
        run_frame(*w, 900u + frame);
        run_frame(*original, 900u + frame);
        ASSERT_EQ(cells_differing(*w, *original), 0) << "frame " << frame;
    }
}

TEST_F(SceneFileTest, StartsWithTheSceneNamedOnTheCommandLine) {
    build_lively_scene(*w);
    ASSERT_TRUE(save_scene_file(*w, scene_path).ok);
    const std::unique_ptr<world> saved = copy_of(*w);
    forget_empty_picks(*saved);
    delete w;
    w = new world();

    const std::string scene = scene_path;
    scene_path = DEFAULT_SCENE_FILE;
    start_with_scene_file(scene);
    EXPECT_EQ(scene_path, scene);
    EXPECT_EQ(cells_differing(*w, *saved), 0);

    // Without one, the keys use the default name in the working directory.
    scene_path = DEFAULT_SCENE_FILE;
    const fs::path working = fs::current_path();
    fs::current_path(folder);
    handle_special_key(GLUT_KEY_F5);
    fs::current_path(working);
    EXPECT_TRUE(fs::is_regular_file(folder / DEFAULT_SCENE_FILE));
}

// F5 after a refused load: the refused file is kept as it was, the message
// says why and where the box goes instead, and the next F5 saves it there.
TEST_F(SceneFileTest, SaveKeepsAFileThatIsNoSceneAndSavesBesideIt) {
    const fs::path notes = folder / "notes.gvx";
    const bytes text = {'m', 'y', ' ', 'n', 'o', 't', 'e', 's', '\n'};
    write_file(notes, text);
    start_with_scene_file(notes.string());
    EXPECT_NE(message_at(std::chrono::steady_clock::now()).find("not a Grainvox scene"), std::string::npos);
    build_lively_scene(*w);

    handle_special_key(GLUT_KEY_F5);
    const std::string refused = message_at(std::chrono::steady_clock::now());
    EXPECT_EQ(read_file(notes), text);
    const fs::path beside = folder / "notes-2.gvx";
    EXPECT_EQ(scene_path, beside.string());
    EXPECT_NE(refused.find("not a Grainvox scene"), std::string::npos) << refused;
    EXPECT_NE(refused.find(beside.string()), std::string::npos) << refused;
    EXPECT_EQ(folder_names(), std::vector<std::string>{"notes.gvx"});

    handle_special_key(GLUT_KEY_F5);
    EXPECT_EQ(read_file(notes), text);
    EXPECT_EQ(folder_names(), (std::vector<std::string>{"notes-2.gvx", "notes.gvx"}));
    const std::unique_ptr<world> saved = copy_of(*w);
    forget_empty_picks(*saved);
    handle_special_key(GLUT_KEY_F10);
    handle_special_key(GLUT_KEY_F9);
    EXPECT_EQ(cells_differing(*w, *saved), 0);
}

// Ctrl+Z brings back in turn the boxes that F10 and F9 replaced, the last
// first, and then the boxes it replaced itself: pressing on loses none.
TEST_F(SceneFileTest, UndoBringsBackTheReplacedBoxesInTurn) {
    forget_boxes_kept_for_undo();
    ASSERT_TRUE(save_scene_file(*w, scene_path).ok);  // an empty box, for F9
    constexpr int BOXES = 6;
    for (int walls = 1; walls <= BOXES; ++walls) {
        for (int x = 0; x < walls; ++x) w->add_particle(TYPE_WALL, x, 0, 0);
        handle_special_key(walls < BOXES ? GLUT_KEY_F10 : GLUT_KEY_F9);
        ASSERT_EQ(count_non_empty(), 0);
    }
    for (int walls : {6, 5, 4, 3, 2, 1, 6}) {
        handle_key(KEY_UNDO);
        EXPECT_EQ(count_cells(TYPE_WALL), walls) << message_at(std::chrono::steady_clock::now());
    }
}

}  // namespace
