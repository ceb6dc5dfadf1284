#include "effects/particle_image_path.h"

#include <filesystem>
#include <system_error>

#ifdef _WIN32
#include <windows.h>
#endif

namespace fs = std::filesystem;

namespace {

// Relative to the folder of an installed program: <prefix>/bin -> <prefix>/share/grainvox.
const char* const INSTALLED_DATA_FOLDER = "../share/grainvox";

}  // namespace

std::vector<std::string> particle_image_places(const std::string& program_folder) {
    std::vector<std::string> places = {PARTICLE_IMAGE_FILE};
    if (program_folder.empty()) return places;
    const fs::path folder(program_folder);
    places.push_back((folder / INSTALLED_DATA_FOLDER / PARTICLE_IMAGE_FILE).lexically_normal().string());
    places.push_back((folder / PARTICLE_IMAGE_FILE).string());
    return places;
}

std::string running_program_folder() {
#ifdef _WIN32
    wchar_t name[MAX_PATH];
    const DWORD length = GetModuleFileNameW(nullptr, name, MAX_PATH);
    if (length == 0 || length == MAX_PATH) return "";
    const fs::path program(std::wstring(name, length));
#else
    std::error_code error;
    const fs::path program = fs::read_symlink("/proc/self/exe", error);
    if (error) return "";
#endif
    try {
        return program.parent_path().string();
    } catch (const std::exception&) {  // a name the narrow encoding cannot spell
        return "";
    }
}

std::string find_particle_image() {
    for (const std::string& place : particle_image_places(running_program_folder())) {
        std::error_code error;
        if (fs::exists(place, error)) return place;
    }
    return PARTICLE_IMAGE_FILE;
}
