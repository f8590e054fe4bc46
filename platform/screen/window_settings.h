// What the routine asks of the window: its title and how it resizes and
// scales the picture. Set on the program thread, taken up by the window thread.
#pragma once

#include <atomic>
#include <memory>
#include <string>
#include <string_view>

#include "platform/screen/display_policy.h"

namespace platform {

struct window_settings {
    std::atomic<picture_scaling> scaling_mode{picture_scaling::none};
    std::atomic<int> snap_back{0}; // 1: return to the picture's size after a user resize
};

window_settings& window_config();

// policy 1 clears snap_back, 2 sets it, anything else leaves it; scaling is
// stored as the scaling mode.
void set_resize_policy(int policy, int scaling);

// Keeps a copy of the title (53 bytes with its NUL for the routine's title)
// and hands it to the window thread.
void set_window_title(std::string_view title);

// The title as last set, or empty when none was set (program thread).
const std::string& window_title();
bool window_title_set();

// Window thread: takes a title set since the last call, if any.
std::unique_ptr<std::string> take_new_window_title();

void reset_window_settings();

} // namespace platform
