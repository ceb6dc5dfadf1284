#include "app/box_history.h"

#include <deque>

#include "app/app_state.h"
#include "app/messages.h"

namespace {

struct kept_box {
    std::vector<std::uint8_t> scene;
    std::string replaced_by;
};

// Oldest first. Function-local, so that it is made on first use.
std::deque<kept_box>& kept() {
    static std::deque<kept_box> boxes;
    return boxes;
}

std::size_t bytes_kept() {
    std::size_t total = 0;
    for (const kept_box& box : kept()) total += box.scene.size();
    return total;
}

// Drops the oldest boxes past the count, and past the bytes beyond the few always kept.
void prune() {
    while (kept().size() > BOXES_KEPT_FOR_UNDO ||
           (kept().size() > BOXES_ALWAYS_KEPT_FOR_UNDO && bytes_kept() > MOST_BYTES_KEPT_FOR_UNDO))
        kept().pop_front();
}

// The box as it is, unless it is empty (then nothing).
std::vector<std::uint8_t> box_worth_keeping() {
    if (count_live_cells(*w) == 0) return {};
    return encode_scene(*w);
}

void keep(std::vector<std::uint8_t> scene, const std::string& replaced_by) {
    if (scene.empty() || (!kept().empty() && kept().back().scene == scene)) return;
    kept().push_back({std::move(scene), replaced_by});
    prune();
}

}  // namespace

scene_outcome replace_box(const std::string& replaced_by, const std::function<scene_outcome(world&)>& load) {
    std::vector<std::uint8_t> before = box_worth_keeping();
    const scene_outcome outcome = load(*w);
    if (outcome.ok) keep(std::move(before), replaced_by);
    return outcome;
}

void keep_box_for_undo(const std::string& replaced_by) { keep(box_worth_keeping(), replaced_by); }

void undo_key() {
    if (kept().empty()) return show_message("nothing to bring back: no box has been emptied, reloaded or replaced");
    kept_box last = std::move(kept().back());
    kept().pop_back();
    std::vector<std::uint8_t> now = box_worth_keeping();
    const scene_outcome back = decode_scene(last.scene.data(), last.scene.size(), *w);
    if (!back.ok) return show_message("cannot bring back the box from before " + last.replaced_by + ": " + back.message);
    if (!now.empty()) kept().push_front({std::move(now), "Ctrl+Z"});
    show_message("brought back the box from before " + last.replaced_by + ": " + back.message);
}

void forget_boxes_kept_for_undo() { kept().clear(); }
