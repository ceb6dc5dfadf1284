#pragma once

#include <chrono>
#include <string>

// Short messages to the user: written to standard error at once, and shown
// beside the material name for a few seconds.

constexpr std::chrono::seconds MESSAGE_SHOWN_FOR{4};

void show_message(const std::string& text);

// The message to show at `now`: the last one while it is younger than
// MESSAGE_SHOWN_FOR, else "".
const std::string& message_at(std::chrono::steady_clock::time_point now);
