#include "app/scene_keys.h"

#include "app/app_state.h"
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
    show_message(saved.message + "; F5 now saves to " + scene_path);
}

void reload_scene_key() { show_message(load_scene_file(*w, scene_path).message); }
