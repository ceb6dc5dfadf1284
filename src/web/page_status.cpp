#include "web/page_status.h"

#include <emscripten/emscripten.h>

#include <chrono>
#include <string>

#include "app/additions.h"
#include "app/app_state.h"
#include "app/messages.h"
#include "app/overlay.h"

// The page's script (page.js) defines window.grainvoxPage before the module
// starts; these calls land there.

EM_JS(void, page_add_material, (int id, const char* name, double red, double green, double blue), {
    window.grainvoxPage.addMaterial(id, UTF8ToString(name), red, green, blue);
});

EM_JS(void, page_show_status,
      (int material, const char* pen, int is_paused, const char* message, const char* overlay), {
    window.grainvoxPage.showStatus(material, UTF8ToString(pen), is_paused != 0, UTF8ToString(message),
                                   UTF8ToString(overlay));
});

EM_JS(void, page_show_failure, (const char* reason), { window.grainvoxPage.showFailure(UTF8ToString(reason)); });

namespace {

std::string pen_text() {
    return "pen " + std::to_string(pen_size > 0 ? pen_size : 1) + " at (" + std::to_string(point_x) + ", " +
           std::to_string(point_y) + ", " + std::to_string(point_z) + ")";
}

std::string overlay_text() {
    if (!overlay_on) return "";
    std::string text;
    for (const std::string& line : overlay_lines(overlay_latest())) text += line + "\n";
    return text;
}

}  // namespace

void announce_materials() {
    for (int id = 0; id < TYPE_COUNT; ++id) {
        const ParticleType& type = w->types[id];
        page_add_material(id, type.name, type.red, type.green, type.blue);
    }
}

void publish_status() {
    const std::string& message = message_at(std::chrono::steady_clock::now());
    page_show_status(selected_type, pen_text().c_str(), paused ? 1 : 0, message.c_str(), overlay_text().c_str());
}

void report_page_failure(const char* reason) { page_show_failure(reason); }
