#include "app/messages.h"

#include <cstdio>

namespace {

std::string shown_text;
std::chrono::steady_clock::time_point shown_since;

}  // namespace

void show_message(const std::string& text) {
    std::fprintf(stderr, "grainvox: %s\n", text.c_str());
    shown_text = text;
    shown_since = std::chrono::steady_clock::now();
}

const std::string& message_at(std::chrono::steady_clock::time_point now) {
    static const std::string none;
    return now - shown_since < MESSAGE_SHOWN_FOR ? shown_text : none;
}
