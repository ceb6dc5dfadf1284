#include "web/page_scenes.h"

#include <emscripten/emscripten.h>

#include "app/app_state.h"
#include "app/messages.h"
#include "app/scene_file.h"

EM_JS(void, page_open_scene_picker, (), { window.grainvoxPage.openScenePicker(); });

EM_JS(void, page_offer_scene_file, (const char* path), { window.grainvoxPage.offerSceneFile(UTF8ToString(path)); });

void open_scene_picker() { page_open_scene_picker(); }

void offer_saved_scene() { page_offer_scene_file(scene_path.c_str()); }

bool keep_box() { return save_scene_file(*w, KEPT_BOX_FILE).ok; }

void restore_kept_box() {
    const scene_outcome outcome = load_scene_file(*w, KEPT_BOX_FILE);
    show_message(outcome.ok ? "the box as it was left: " + outcome.message : outcome.message);
}
