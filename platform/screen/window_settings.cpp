#include "platform/screen/window_settings.h"

#include "platform/runtime/flags.h"

namespace platform {

namespace {

std::string title_copy;
bool title_was_set = false;
// A title waiting for the window thread; exchanged whole, so neither side
// ever sees a half-written text.
std::atomic<std::string*> pending_title{nullptr};

} // namespace

window_settings& window_config() {
    static window_settings settings;
    return settings;
}

void set_resize_policy(int policy, int scaling) {
    if (policy == 1) window_config().snap_back.store(0);
    if (policy == 2) window_config().snap_back.store(1);
    window_config().scaling_mode.store(static_cast<picture_scaling>(scaling));
}

void set_window_title(std::string_view title) {
    if (error_is_pending()) return;
    title_copy.assign(title);
    title_was_set = true;
    delete pending_title.exchange(new std::string(title));
}

const std::string& window_title() { return title_copy; }
bool window_title_set() { return title_was_set; }

std::unique_ptr<std::string> take_new_window_title() {
    return std::unique_ptr<std::string>(pending_title.exchange(nullptr));
}

void reset_window_settings() {
    window_config().scaling_mode.store(picture_scaling::none);
    window_config().snap_back.store(0);
    title_copy.clear();
    title_was_set = false;
    delete pending_title.exchange(nullptr);
}

} // namespace platform
