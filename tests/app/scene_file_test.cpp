// Saved scenes: what is saved comes back field by field and steps on alike;
// whatever is wrong with a file, loading it leaves the box as it was; a
// save that fails leaves the old file as it was.

#include <GL/glut.h>
#include <signal.h>
#include <stdlib.h>  // mkdtemp
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/keys.h"
#include "app/messages.h"
#include "app/saved_scene.h"
#include "app/scene_file.h"
#include "app_fixture.h"
#include "render/cell_drawing.h"
#include "scenes.h"
#include "sim/sweep.h"

namespace {

namespace fs = std::filesystem;
using namespace scene_layout;
using bytes = std::vector<std::uint8_t>;

// Each test writes in a folder of its own under TMPDIR, removed after it.
class SceneFileTest : public AppTest {
protected:
    void SetUp() override {
        AppTest::SetUp();
        std::string pattern = (fs::temp_directory_path() / "grainvox-scene-test-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        folder = pattern;
        scene_path = (folder / "scene.gvx").string();
    }
    void TearDown() override {
        fs::permissions(folder, fs::perms::owner_all, fs::perm_options::add);
        fs::remove_all(folder);
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

    fs::path folder;
};

bytes read_file(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void write_file(const fs::path& path, const bytes& content) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(content.data()), static_cast<std::streamsize>(content.size()));
}

// A frame as the program runs it: every cell stepped, and each burning one's fountain picked.
void run_frame(world& w, unsigned seed) {
    std::srand(seed);
    sweep_frame(w, [&w](const ParticleType& before, int x, int y, int z) {
        if (is_burning(before)) pick_fountain(w, x, y, z);
    });
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
    delete w;
    w = new world();

    std::string program = "grainvox", scene = scene_path, extra = "other.gvx";
    char* no_scene[] = {program.data(), nullptr};
    take_scene_argument(1, no_scene);
    EXPECT_EQ(count_non_empty(), 0);

    scene_path = DEFAULT_SCENE_FILE;
    char* two_scenes[] = {program.data(), scene.data(), extra.data(), nullptr};
    take_scene_argument(3, two_scenes);
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

// Where the cells of the refusal scene lie in its file: one of each
// material at the start of the box, so the first run holds them in order.
constexpr std::size_t FIRST_RECORD = HEADER_BYTES + RUN_BYTES;
constexpr int RECORD_ROW = TYPE_COUNT - 1;
std::size_t record_at(int i) { return FIRST_RECORD + static_cast<std::size_t>(i) * RECORD_BYTES; }

void put_u32(bytes& b, std::size_t at, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) b[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
}
void put_double(bytes& b, std::size_t at, double value) {
    std::uint64_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    put_u32(b, at, static_cast<std::uint32_t>(bits));
    put_u32(b, at + 4, static_cast<std::uint32_t>(bits >> 32));
}
std::uint32_t get_u32(const bytes& b, std::size_t at) {
    std::uint32_t value = 0;
    for (int i = 0; i < 4; ++i) value |= std::uint32_t{b[at + i]} << (8 * i);
    return value;
}

// Gives a changed file the checksum it would have had, so that the check after it is reached.
void reseal(bytes& b) { put_u32(b, b.size() - CHECKSUM_BYTES, scene_checksum(b.data(), b.size() - CHECKSUM_BYTES)); }

struct refusal {
    const char* what;
    const char* message;  // part of the message the user gets
    std::function<void(bytes&)> spoil;
    bool sealed;  // the checksum is made right after the change
};

// A cell record's field set to a value the program never gives it (the middle cell of the row).
refusal field(const char* name, std::size_t offset, std::function<void(bytes&, std::size_t)> set) {
    return {name, name, [offset, set](bytes& b) { set(b, record_at(RECORD_ROW / 2) + offset); }, true};
}

TEST(SceneChecksum, IsTheStandardCrc32) {
    const char check[] = "123456789";
    EXPECT_EQ(scene_checksum(reinterpret_cast<const std::uint8_t*>(check), sizeof check - 1), 0xCBF43926u);
}

TEST_F(SceneFileTest, EveryRefusalSaysWhatIsWrongAndLeavesTheBoxAsItWas) {
    for (int i = 0; i < RECORD_ROW; ++i) w->add_particle(i + 1, 0, 0, i);
    ASSERT_TRUE(save_scene_file(*w, scene_path).ok);
    const bytes good = read_file(scene_path);
    ASSERT_EQ(get_u32(good, HEADER_BYTES + 4), static_cast<std::uint32_t>(RECORD_ROW)) << "the row is one run";

    // The box in memory holds another scene, which every refusal must leave alone.
    delete w;
    w = new world();
    build_lively_scene(*w);
    const std::unique_ptr<world> before = copy_of(*w);

    const auto set_u32 = [](std::uint32_t v) { return [v](bytes& b, std::size_t at) { put_u32(b, at, v); }; };
    const auto set_double = [](double v) { return [v](bytes& b, std::size_t at) { put_double(b, at, v); }; };
    const auto set_byte = [](std::uint8_t v) { return [v](bytes& b, std::size_t at) { b[at] = v; }; };
    const refusal refusals[] = {
        {"wrong magic", "magic", [](bytes& b) { b[MAGIC_AT + 3] = 'x'; }, true},
        {"empty file", "magic", [](bytes& b) { b.clear(); }, false},
        {"newer format", "format version 2", [](bytes& b) { put_u32(b, VERSION_AT, 2); }, true},
        {"another stage", "Grainvox 0.36", [](bytes& b) { std::memcpy(&b[STAGE_AT], "0.36", 4); }, true},
        {"another grid size", "80 x 50 x 100", [](bytes& b) { put_u32(b, GRID_AT, 80); }, true},
        {"bad checksum", "checksum", [](bytes& b) { b[record_at(3) + RED_AT] ^= 0x10; }, false},
        {"truncated header", "truncated", [](bytes& b) { b.resize(HEADER_BYTES / 2); }, false},
        {"truncated", "truncated", [](bytes& b) { b.resize(b.size() - 100); }, false},
        {"over-long", "over-long", [](bytes& b) { b.insert(b.end(), {1, 2, 3}); }, false},
        {"unknown material id", "unknown material id 11", [](bytes& b) { put_u32(b, record_at(4) + ID_AT, 11); },
         true},
        {"negative material id", "unknown material id -1",
         [](bytes& b) { put_u32(b, record_at(4) + ID_AT, 0xffffffffu); }, true},
        field("name", NAME_AT, [](bytes& b, std::size_t at) { b[at] = 'X'; }),
        field("fountain index", FOUNTAIN_INDEX_AT, set_u32(FOUNTAIN_COUNT)),
        field("density", DENSITY_AT, set_double(3.0)),
        field("red", RED_AT, set_double(1.5)),
        field("green", GREEN_AT, set_double(-0.25)),
        field("blue", BLUE_AT, set_double(std::nan(""))),
        field("burn time", BURN_TIME_AT, set_u32(10000)),
        field("alpha", ALPHA_AT, set_double(2.0)),
        field("extinguishes", EXTINGUISHES_AT, set_byte(2)),
        field("ignition delay", IGNITION_DELAY_AT, set_u32(static_cast<std::uint32_t>(-2))),
        field("phase", PHASE_AT, set_u32(PHASE_STATIC + 9)),
        field("pressured", PRESSURED_AT, set_byte(7)),
        {"cells past the box", "past the box", [](bytes& b) { put_u32(b, HEADER_BYTES, GRID_X * GRID_Y * GRID_Z); },
         true},
        {"a run of no cells", "no cells", [](bytes& b) { put_u32(b, HEADER_BYTES + 4, 0); }, true},
        {"wrong record count", "header says", [](bytes& b) { put_u32(b, RECORDS_AT, RECORD_ROW + 1); }, true},
        {"bytes after the last cell", "after the last cell",
         [](bytes& b) {
             b.insert(b.end() - CHECKSUM_BYTES, {0, 0});
             put_u32(b, BODY_BYTES_AT, get_u32(b, BODY_BYTES_AT) + 2);
         },
         true},
        {"cells end early", "cells end",
         [](bytes& b) {
             b.erase(b.end() - CHECKSUM_BYTES - RUN_BYTES, b.end() - CHECKSUM_BYTES);
             put_u32(b, BODY_BYTES_AT, get_u32(b, BODY_BYTES_AT) - RUN_BYTES);
         },
         true},
    };
    for (const refusal& r : refusals) {
        SCOPED_TRACE(r.what);
        bytes spoiled = good;
        r.spoil(spoiled);
        if (r.sealed) reseal(spoiled);
        write_file(scene_path, spoiled);
        handle_special_key(GLUT_KEY_F9);
        const std::string message = message_at(std::chrono::steady_clock::now());
        EXPECT_NE(message.find(r.message), std::string::npos) << message;
        EXPECT_EQ(message.rfind("not loaded", 0), 0u) << message;
        ASSERT_EQ(cells_differing(*w, *before), 0);
    }

    // Files that are no scene at all, or not there.
    const fs::path huge = folder / "huge.gvx";
    write_file(huge, {});
    fs::resize_file(huge, MOST_BYTES + 1);  // sparse: no disk is spent
    const std::pair<fs::path, const char*> not_scenes[] = {
        {folder, "not a regular file"}, {folder / "missing.gvx", "cannot open"}, {huge, "over-long"}};
    for (const auto& [path, expected] : not_scenes) {
        SCOPED_TRACE(path);
        const scene_outcome outcome = load_scene_file(*w, path.string());
        EXPECT_FALSE(outcome.ok);
        EXPECT_NE(outcome.message.find(expected), std::string::npos) << outcome.message;
        ASSERT_EQ(cells_differing(*w, *before), 0);
    }
}

// Writes past this many bytes fail, as on a full disk; root is held to it too.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        signal(SIGXFSZ, SIG_IGN);  // the write fails with EFBIG instead of ending the process
        getrlimit(RLIMIT_FSIZE, &saved_);
        rlimit limited = saved_;
        limited.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limited);
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &saved_);
        signal(SIGXFSZ, SIG_DFL);
    }

private:
    rlimit saved_;
};

TEST_F(SceneFileTest, FailedSaveSaysSoAndKeepsTheOldFile) {
    const bytes old_file = {'o', 'l', 'd'};
    build_lively_scene(*w);

    // A folder that is a regular file cannot hold the scene.
    write_file(folder / "plain", old_file);
    const scene_outcome into_file = save_scene_file(*w, (folder / "plain" / "scene.gvx").string());
    EXPECT_FALSE(into_file.ok);
    EXPECT_NE(into_file.message.find("not saved"), std::string::npos) << into_file.message;
    EXPECT_EQ(read_file(folder / "plain"), old_file);

    // The disk fills up part way through the new file.
    write_file(scene_path, old_file);
    {
        const FileSizeLimit limit(64 * 1024);
        const scene_outcome full = save_scene_file(*w, scene_path);
        EXPECT_FALSE(full.ok);
        EXPECT_NE(full.message.find("cannot write"), std::string::npos) << full.message;
    }
    EXPECT_EQ(read_file(scene_path), old_file);

    // The name is taken by a folder that the new file cannot replace.
    fs::create_directories(folder / "taken.gvx" / "inside");
    const scene_outcome over_folder = save_scene_file(*w, (folder / "taken.gvx").string());
    EXPECT_FALSE(over_folder.ok);
    EXPECT_TRUE(fs::is_directory(folder / "taken.gvx" / "inside"));

    // A folder the user may not write to, where permissions bind (not for root).
    if (geteuid() != 0) {
        fs::permissions(folder, fs::perms::owner_write, fs::perm_options::remove);
        const scene_outcome locked = save_scene_file(*w, scene_path);
        EXPECT_FALSE(locked.ok);
        EXPECT_NE(locked.message.find("Permission denied"), std::string::npos) << locked.message;
        fs::permissions(folder, fs::perms::owner_write, fs::perm_options::add);
        EXPECT_EQ(read_file(scene_path), old_file);
    }
    EXPECT_EQ(folder_names(), (std::vector<std::string>{"plain", "scene.gvx", "taken.gvx"}));
}

}  // namespace
