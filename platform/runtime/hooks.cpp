#include "platform/runtime/hooks.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>

namespace platform {

namespace {

void real_sleep(poll_site, int milliseconds) {
    if (milliseconds <= 0) {
        std::this_thread::yield();
        return;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

[[noreturn]] void sleep_for_ever() {
    for (;;) {
        std::this_thread::sleep_for(std::chrono::milliseconds(16));
    }
}

[[noreturn]] void real_end_process(int exit_code) {
    std::fflush(nullptr);
    std::_Exit(exit_code);
}

box_answer console_box(const std::string& caption, const std::string& text, box_buttons buttons) {
    std::fprintf(stderr, "%s\n%s\n", caption.c_str(), text.c_str());
    return buttons == box_buttons::ok ? box_answer::ok : box_answer::no;
}

} // namespace

runtime_hooks& hooks() {
    static runtime_hooks the_hooks{real_sleep, sleep_for_ever, real_end_process, console_box};
    return the_hooks;
}

void install_default_hooks() { hooks() = runtime_hooks{real_sleep, sleep_for_ever, real_end_process, console_box}; }

void poll_sleep(poll_site site, int milliseconds) { hooks().sleep(site, milliseconds); }

} // namespace platform
