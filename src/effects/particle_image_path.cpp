#include "effects/particle_image_path.h"

#include "scene/regular_file.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <climits>
#include <unistd.h>
#endif

// Plain strings and stat rather than std::filesystem: linked statically into
// the Windows programs, the latter more than doubles their size.

namespace {

#ifdef _WIN32
constexpr char FOLDER_SEPARATORS[] = "\\/";
#else
constexpr char FOLDER_SEPARATORS[] = "/";
#endif

// Relative to the folder of an installed program: <prefix>/bin -> <prefix>/share/grainvox.
const char* const INSTALLED_DATA_FOLDER = "../share/grainvox/";

}  // namespace

std::vector<std::string> particle_image_places(const std::string& program_folder) {
    std::vector<std::string> places = {PARTICLE_IMAGE_FILE};
    if (program_folder.empty()) return places;
    const std::string folder = program_folder + "/";
    places.push_back(folder + INSTALLED_DATA_FOLDER + PARTICLE_IMAGE_FILE);
    places.push_back(folder + PARTICLE_IMAGE_FILE);
    return places;
}

std::string running_program_folder() {
#ifdef _WIN32
    char name[MAX_PATH];
    const DWORD length = GetModuleFileNameA(nullptr, name, MAX_PATH);
    if (length == 0 || length == MAX_PATH) return "";
    const std::string program(name, length);
#else
    char name[PATH_MAX];
    const ssize_t length = readlink("/proc/self/exe", name, sizeof name);
    if (length <= 0 || length == static_cast<ssize_t>(sizeof name)) return "";
    const std::string program(name, static_cast<std::size_t>(length));
#endif
    const std::size_t last_separator = program.find_last_of(FOLDER_SEPARATORS);
    if (last_separator == std::string::npos) return "";
    return program.substr(0, last_separator);
}

std::string first_particle_image(const std::vector<std::string>& places) {
    for (const std::string& place : places)
        if (is_regular_file(place)) return place;  // a folder or FIFO of that name is passed over
    return PARTICLE_IMAGE_FILE;
}

std::string find_particle_image() { return first_particle_image(particle_image_places(running_program_folder())); }
