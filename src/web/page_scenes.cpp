#include "web/page_scenes.h"

#include <emscripten/emscripten.h>

#include <string>

#include "app/additions.h"
#include "app/app_state.h"
#include "app/messages.h"
#include "app/scene_keys.h"
#include "scene/scene_file.h"

// The one file of the page that knows the scene-file code by name.

EM_JS(void, page_open_scene_picker, (), { window.grainvoxPage.openScenePicker(); });

EM_JS(void, page_offer_scene_file, (const char* path), { window.grainvoxPage.offerSceneFile(UTF8ToString(path)); });

const char* scene_file_path() { return scene_path.c_str(); }

void load_scene_file_again() { reload_scene_key(); }

std::size_t most_scene_bytes() { return scene_layout::MOST_BYTES; }

void refuse_scene_file(double bytes) {
    show_message("not loaded: the file has " + std::to_string(static_cast<long long>(bytes)) +
                 " bytes, more than any scene file");
}

void open_scene_picker() { page_open_scene_picker(); }

void offer_saved_scene() { page_offer_scene_file(scene_path.c_str()); }

bool keep_box() { return save_scene_file(*w, KEPT_BOX_FILE).ok; }

void restore_kept_box() {
    const scene_outcome outcome = load_scene_file(*w, KEPT_BOX_FILE);
    show_message(outcome.ok ? "the box as it was left: " + outcome.message : outcome.message);
}
