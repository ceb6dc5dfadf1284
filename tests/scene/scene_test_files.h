#pragma once

#include <stdlib.h>  // mkdtemp

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

// Files for the scene tests: each test writes in a folder of its own under
// TMPDIR, removed after it.

namespace scene_test {

namespace fs = std::filesystem;
using bytes = std::vector<std::uint8_t>;

inline bytes read_file(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void write_file(const fs::path& path, const bytes& content) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(content.data()), static_cast<std::streamsize>(content.size()));
}

inline bytes text(const std::string& s) { return bytes(s.begin(), s.end()); }

class scratch_folder {
public:
    scratch_folder() {
        std::string pattern = (fs::temp_directory_path() / "grainvox-scene-test-XXXXXX").string();
        if (mkdtemp(pattern.data()) != nullptr) path = pattern;
    }
    ~scratch_folder() {
        std::error_code ignored;
        fs::permissions(path, fs::perms::owner_all, fs::perm_options::add, ignored);
        fs::remove_all(path, ignored);
    }
    scratch_folder(const scratch_folder&) = delete;
    scratch_folder& operator=(const scratch_folder&) = delete;
    fs::path path;
};

}  // namespace scene_test
