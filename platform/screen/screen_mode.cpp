#include "platform/screen/screen_mode.h"

#include <atomic>
#include <memory>

#include "platform/runtime/errors.h"
#include "platform/runtime/flags.h"
#include "platform/runtime/hooks.h"
#include "platform/screen/page.h"

namespace platform {

namespace {

constexpr int the_only_mode = 12;

std::atomic<std::uint64_t> generation{0};

// Hand-over state: a mode change asks, the builder grants between passes.
std::atomic<bool> builder_running{false};
std::atomic<bool> change_asked{false};
std::atomic<bool> builder_in_pass{false};

} // namespace

void reset_active_page() {
    auto fresh = std::make_unique<drawing_page>();
    init_text_page(*fresh);
    replace_active_page(std::move(fresh));
    generation.fetch_add(1);
}

bool try_begin_building_pass() {
    builder_in_pass.store(true);
    if (change_asked.load()) {
        builder_in_pass.store(false);
        return false;
    }
    return true;
}

void end_building_pass() { builder_in_pass.store(false); }

void set_frame_builder_running(bool running) { builder_running.store(running); }

std::uint64_t mode_generation() { return generation.load(); }

void set_screen_mode(int mode) {
    if (error_is_pending()) return;
    if (mode != the_only_mode) {
        raise_error(illegal_function_call);
        return;
    }
    change_asked.store(true);
    if (builder_running.load()) {
        // The builder checks change_asked after announcing a pass, so once it
        // is seen outside a pass no new pass can start until the change is done.
        while (builder_in_pass.load()) poll_sleep(poll_site::mode_handover, 0);
    }
    generation.fetch_add(1);
    auto fresh = std::make_unique<drawing_page>();
    init_mode12_page(*fresh);
    replace_active_page(std::move(fresh));
    change_asked.store(false);
}

} // namespace platform
