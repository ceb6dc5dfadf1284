#include "app/saved_scene.h"

#include "app/app_state.h"
#include "app/messages.h"
#include "app/scene_file.h"

void take_scene_argument(int argc, char** argv) {
    if (argc < 2) return;
    scene_path = argv[1];
    if (argc > 2) show_message("only one scene file is read; " + std::to_string(argc - 2) + " more ignored");
    reload_scene();
}

void save_scene() { show_message(save_scene_file(*w, scene_path).message); }

void reload_scene() { show_message(load_scene_file(*w, scene_path).message); }
