#include "web/page_scenes.h"

#include <emscripten/emscripten.h>

#include <string>
#include <vector>

#include "app/additions.h"
#include "app/app_state.h"
#include "app/box_history.h"
#include "app/messages.h"
#include "scene/scene_file.h"

// The one file of the page that knows the scene-file code by name.

EM_JS(void, page_open_scene_picker, (), { window.grainvoxPage.openScenePicker(); });

EM_JS(void, page_offer_scene_file, (const char* path), { window.grainvoxPage.offerSceneFile(UTF8ToString(path)); });

namespace {

// The bytes last handed over by the script.
std::vector<std::uint8_t>& buffer() {
    static std::vector<std::uint8_t> bytes;
    return bytes;
}

scene_outcome decode_buffer(world& box) { return decode_scene(buffer().data(), buffer().size(), box); }

}  // namespace

const char* scene_file_path() { return scene_path.c_str(); }

std::uint8_t* scene_buffer(std::size_t size) {
    buffer().assign(size, 0);
    return buffer().data();
}

const char* scene_buffer_fault() {
    static std::string fault;
    fault = scene_fault(buffer().data(), buffer().size(), *w);
    return fault.c_str();
}

bool open_scene(const char* name) {
    const scene_outcome outcome = replace_box(std::string("loading ") + name, decode_buffer);
    show_message(outcome.ok ? std::string("loaded ") + name + ": " + outcome.message
                            : std::string("not loaded: ") + name + " is refused: " + outcome.message);
    return outcome.ok;
}

bool open_kept_box(const char* kept) {
    const scene_outcome outcome = replace_box("opening a kept box", decode_buffer);
    show_message(outcome.ok ? std::string("the box ") + kept + ": " + outcome.message
                            : std::string("the box ") + kept + " cannot be read, and is kept as it is: " +
                                  outcome.message);
    return outcome.ok;
}

std::size_t most_scene_bytes() { return scene_layout::MOST_BYTES; }

void refuse_scene_file(double bytes) {
    show_message("not loaded: the file has " + std::to_string(static_cast<long long>(bytes)) +
                 " bytes, more than any scene file");
}

void open_scene_picker() { page_open_scene_picker(); }

void offer_saved_scene() { page_offer_scene_file(scene_path.c_str()); }

taken_box take_box() {
    static std::vector<std::uint8_t> bytes;
    bytes = encode_scene(*w);
    return {bytes.data(), bytes.size(), count_live_cells(*w)};
}
