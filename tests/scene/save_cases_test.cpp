// What a save may replace, and what it must keep: each case lays out a
// folder, saves into it, and checks every file of the folder afterwards
// (its bytes, mode and owner, or where a link leads). A save writes the new
// scene where it says it did and nowhere else; a save that is refused or
// fails leaves the folder exactly as it was, with no temporary file.

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>
#include <map>
#include <memory>
#include <string>

#include "old_scenes.h"
#include "scene/scene_file.h"
#include "scene_test_files.h"

namespace {

using namespace scene_test;

constexpr uid_t NOBODY = 65534;
constexpr mode_t USUAL_UMASK = 022;
constexpr mode_t NEW_FILE_MODE = 0644;  // 0666 under that umask
constexpr std::size_t LONGEST_NAME = 255;
constexpr rlim_t FULL_DISK_BYTES = 1024;

// Every entry of a folder, its subfolders' too, by relative name.
using folder_listing = std::map<std::string, std::string>;

// A file's bytes, told apart by their size and checksum.
std::string describe_bytes(const bytes& content) {
    return std::to_string(content.size()) + " bytes, crc " + std::to_string(scene_checksum(content.data(), content.size()));
}

std::string describe_file(const fs::path& path) {
    struct stat info;
    if (lstat(path.c_str(), &info) != 0) return "gone";
    if (S_ISLNK(info.st_mode)) return "link to " + fs::read_symlink(path).string();
    if (S_ISDIR(info.st_mode)) return "folder";
    if (S_ISFIFO(info.st_mode)) return "fifo";
    return "file mode " + std::to_string(info.st_mode & 07777) + " owner " + std::to_string(info.st_uid) + ":" +
           std::to_string(info.st_gid) + " " + describe_bytes(read_file(path));
}

folder_listing list_folder(const fs::path& folder) {
    folder_listing listing;
    for (const auto& entry : fs::recursive_directory_iterator(folder))
        listing[entry.path().lexically_relative(folder).string()] = describe_file(entry.path());
    return listing;
}

// Runs `act` as an unprivileged user when we are root (in a child process,
// which hands back its message), else here.
std::string as_unprivileged(const std::function<std::string()>& act) {
    if (geteuid() != 0) return act();
    int channel[2];
    if (pipe(channel) != 0) return "no pipe";
    const pid_t child = fork();
    if (child == 0) {
        close(channel[0]);
        if (setgid(NOBODY) != 0 || setuid(NOBODY) != 0) _exit(1);
        const std::string message = act();
        const bool sent = write(channel[1], message.data(), message.size()) == static_cast<ssize_t>(message.size());
        _exit(sent ? 0 : 1);
    }
    close(channel[1]);
    std::string message;
    char buffer[256];
    for (ssize_t got; (got = read(channel[0], buffer, sizeof buffer)) > 0;) message.append(buffer, got);
    close(channel[0]);
    int status = 0;
    waitpid(child, &status, 0);
    return message;
}

// Writes past this many bytes fail, as on a full disk; root is held to it too.
class file_size_limit {
public:
    explicit file_size_limit(rlim_t bytes) {
        signal(SIGXFSZ, SIG_IGN);  // the write fails with EFBIG instead of ending the process
        getrlimit(RLIMIT_FSIZE, &saved_);
        rlimit limited = saved_;
        limited.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limited);
    }
    ~file_size_limit() {
        setrlimit(RLIMIT_FSIZE, &saved_);
        signal(SIGXFSZ, SIG_DFL);
    }
    file_size_limit(const file_size_limit&) = delete;
    file_size_limit& operator=(const file_size_limit&) = delete;

private:
    rlimit saved_;
};

enum class how { saved, kept, failed };

// How the save is made: as it comes, on a full disk, or unprivileged in a
// folder it may not write to.
enum class save_conditions { plain, full_disk, unwritable_folder };

struct save_case {
    const char* what;
    std::function<void(const fs::path&)> lay_out;
    std::string saved_to;  // relative to the folder
    how outcome;
    const char* message;   // part of the message
    std::string written = "";  // the file that holds the new scene afterwards, when saved
    save_conditions conditions = save_conditions::plain;
    std::vector<std::string> removed = {};  // files the save takes away
};

std::string name_of_length(std::size_t length) { return std::string(length - 4, 'n') + ".gvx"; }

// The id of a process that has ended.
pid_t ended_process() {
    const pid_t child = fork();
    if (child == 0) _exit(0);
    waitpid(child, nullptr, 0);
    return child;
}

TEST(SavedSceneFiles, ReplaceOnlyScenesAndKeepEverythingElse) {
    const mode_t old_umask = umask(USUAL_UMASK);
    std::unique_ptr<world> box(new world());
    build_old_campfire(*box);
    const bytes new_scene = encode_scene(*box);
    const bytes old_scene = encode_scene(*std::unique_ptr<world>(new world()));
    const bytes notes = text("shopping: flour, eggs\n");
    const auto file = [](const std::string& name, const bytes& content, mode_t mode = NEW_FILE_MODE) {
        return [=](const fs::path& folder) {
            fs::create_directories((folder / name).parent_path());
            write_file(folder / name, content);
            chmod((folder / name).c_str(), mode);
        };
    };
    const auto both = [](std::function<void(const fs::path&)> a, std::function<void(const fs::path&)> b) {
        return [=](const fs::path& folder) {
            a(folder);
            b(folder);
        };
    };
    const auto link = [](const std::string& name, const std::string& to) {
        return [=](const fs::path& folder) { fs::create_symlink(to, folder / name); };
    };
    const auto nothing = [](const fs::path&) {};
    // What a save killed before its rename leaves, and names that only look like it.
    const std::string killed = "scene.gvx.saving-" + std::to_string(ended_process());
    const std::string running = "scene.gvx.saving-" + std::to_string(getppid()) + "-0";
    const auto left_by_killed_saves = [=](const fs::path& folder) {
        for (const std::string& name : {killed + "-0", killed + "-7", killed + "-07", killed + "-0x", running,
                                        "other.gvx" + killed.substr(9) + "-0", std::string("scene.gvx")})
            file(name, name == "scene.gvx" ? old_scene : notes)(folder);
        fs::create_directory(folder / (killed + "-1"));
    };

    std::vector<save_case> cases = {
        {"a new file", nothing, "scene.gvx", how::saved, "saved", "scene.gvx"},
        {"a scene is replaced", file("scene.gvx", old_scene), "scene.gvx", how::saved, "saved", "scene.gvx"},
        {"a file that is not a scene is kept", file("notes.gvx", notes), "notes.gvx", how::kept,
         "notes.gvx is not a Grainvox scene"},
        {"an empty file is kept", file("empty.gvx", {}), "empty.gvx", how::kept, "not a Grainvox scene"},
        {"a link is kept and its target written", both(file("sub/real.gvx", old_scene), link("link.gvx", "sub/real.gvx")),
         "link.gvx", how::saved, "saved", "sub/real.gvx"},
        {"a link to nothing yet makes its target", link("link.gvx", "new.gvx"), "link.gvx", how::saved, "saved",
         "new.gvx"},
        {"a link to a file that is not a scene keeps both", both(file("notes.txt", notes), link("link.gvx", "notes.txt")),
         "link.gvx", how::kept, "not a Grainvox scene"},
        {"the mode is kept", file("scene.gvx", old_scene, 0600), "scene.gvx", how::saved, "saved", "scene.gvx"},
        {"a read-only scene is kept", file("scene.gvx", old_scene, 0444), "scene.gvx", how::kept, "read-only"},
        {"a scene only its group may write", file("scene.gvx", old_scene, 0464), "scene.gvx", how::saved, "saved",
         "scene.gvx"},
        {"the longest name", file(name_of_length(LONGEST_NAME), old_scene), name_of_length(LONGEST_NAME), how::saved,
         "saved", name_of_length(LONGEST_NAME)},
        {"a name one short of the longest", nothing, name_of_length(LONGEST_NAME - 1), how::saved, "saved",
         name_of_length(LONGEST_NAME - 1)},
        {"a folder of that name is kept", file("taken.gvx/inside", notes), "taken.gvx", how::kept,
         "not a regular file"},
        {"a FIFO of that name is kept", [](const fs::path& folder) { mkfifo((folder / "pipe.gvx").c_str(), 0644); },
         "pipe.gvx", how::kept, "not a regular file"},
        {"a folder that is a file", file("plain", notes), "plain/scene.gvx", how::failed, "not saved"},
        {"a temporary file of a killed save is removed, nothing else", left_by_killed_saves, "scene.gvx", how::saved,
         "saved", "scene.gvx", save_conditions::plain, {killed + "-0", killed + "-7"}},
        {"a folder that is gone", nothing, "gone/scene.gvx", how::failed, "gone/ is gone"},
        {"a full disk", file("scene.gvx", old_scene), "scene.gvx", how::failed, "cannot write", "",
         save_conditions::full_disk},
        {"a folder we may not write to", file("scene.gvx", old_scene), "scene.gvx", how::failed, "Permission denied", "",
         save_conditions::unwritable_folder},
        {"a file we may not read is kept", file("secret.gvx", old_scene, 0), "secret.gvx", how::kept,
         "cannot be read", "", save_conditions::unwritable_folder},
    };
    if (geteuid() == 0)
        cases.push_back({"the owner is kept",
                         [&](const fs::path& folder) {
                             file("theirs.gvx", old_scene)(folder);
                             ASSERT_EQ(chown((folder / "theirs.gvx").c_str(), NOBODY, NOBODY), 0);
                         },
                         "theirs.gvx", how::saved, "saved", "theirs.gvx"});

    for (const save_case& c : cases) {
        SCOPED_TRACE(c.what);
        const scratch_folder scratch;
        ASSERT_FALSE(scratch.path.empty());
        const fs::path& folder = scratch.path;
        c.lay_out(folder);
        folder_listing expected = list_folder(folder);
        const std::string path = (folder / c.saved_to).string();

        std::string message;
        bool ok = false;
        const auto save = [&] {
            const scene_outcome outcome = save_scene_file(*box, path);
            return std::string(outcome.ok ? "ok " : "") + (outcome.kept_other_file ? "kept " : "") + outcome.message;
        };
        if (c.conditions == save_conditions::full_disk) {
            const file_size_limit limit(FULL_DISK_BYTES);
            message = save();
        } else if (c.conditions == save_conditions::unwritable_folder) {
            chmod(folder.c_str(), geteuid() == 0 ? 0755 : 0555);
            message = as_unprivileged(save);
            chmod(folder.c_str(), 0700);
        } else {
            message = save();
        }
        ok = message.rfind("ok ", 0) == 0;
        EXPECT_EQ(ok, c.outcome == how::saved) << message;
        EXPECT_EQ(message.find("kept ") == 0, c.outcome == how::kept) << message;
        EXPECT_NE(message.find(c.message), std::string::npos) << message;

        if (c.outcome == how::saved) {
            const fs::path written = folder / c.written;
            const bool existed = expected.count(c.written) != 0;
            // The new scene, with the mode and owner of the file it replaced.
            std::string kept = existed ? expected[c.written] : "file mode " + std::to_string(NEW_FILE_MODE) + " owner " +
                                                                   std::to_string(geteuid()) + ":" +
                                                                   std::to_string(getegid()) + " ";
            kept = kept.substr(0, kept.find(' ', kept.find("owner ") + 6) + 1);
            expected[c.written] = kept + describe_bytes(new_scene);
        }
        for (const std::string& name : c.removed) expected.erase(name);
        EXPECT_EQ(list_folder(folder), expected);
    }
    umask(old_umask);
}

// Loading says why a file cannot be read: a file we may not read is not
// taken for something that is not a file.
TEST(SceneFileLoads, SayWhyAFileCannotBeRead) {
    const scratch_folder scratch;
    const fs::path secret = scratch.path / "secret.gvx";
    write_file(secret, encode_scene(*std::unique_ptr<world>(new world())));
    chmod(secret.c_str(), 0);
    chmod(scratch.path.c_str(), 0755);
    const std::string message = as_unprivileged([&] {
        std::unique_ptr<world> box(new world());
        return load_scene_file(*box, secret.string()).message;
    });
    EXPECT_NE(message.find("Permission denied"), std::string::npos) << message;
    EXPECT_EQ(message.find("not a regular file"), std::string::npos) << message;

    std::unique_ptr<world> box(new world());
    EXPECT_NE(load_scene_file(*box, scratch.path.string()).message.find("not a regular file"), std::string::npos);
}

}  // namespace
