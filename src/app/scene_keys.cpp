#include "app/scene_keys.h"

#include "app/app_state.h"
#include "app/box_history.h"
#include "app/messages.h"
#include "scene/scene_file.h"

void start_with_scene_file(const std::string& path) {
    scene_path = path;
    reload_scene_key();
}

void save_scene_key() {
    const scene_outcome saved = save_scene_file(*w, scene_path);
    if (!saved.kept_other_file) return show_message(saved.message);
    scene_path = free_scene_name_beside(scene_path);
    show_message(saved.message + "; " + SAVE_KEY_NAME + " now saves to " + scene_path);
}

void reload_scene_key() {
    const std::string path = scene_path;
    show_message(replace_box("the reload", [&](world& box) { return load_scene_file(box, path); }).message);
}
