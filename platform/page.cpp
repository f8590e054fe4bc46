#include "platform/page.h"

#include <atomic>
#include <memory>

#include "platform/runtime_errors.h"
#include "platform/runtime_flags.h"
#include "platform/runtime_hooks.h"

namespace platform {

namespace {

constexpr std::array<std::uint32_t, 256> make_default_palette() {
    // The 16 standard EGA/VGA text colours; mode 12 uses no other entry, and
    // the remaining 240 stay black.
    std::array<std::uint32_t, 256> p{};
    constexpr std::uint32_t ega[16] = {
        0x000000, 0x0000AA, 0x00AA00, 0x00AAAA, 0xAA0000, 0xAA00AA, 0xAA5500, 0xAAAAAA,
        0x555555, 0x5555FF, 0x55FF55, 0x55FFFF, 0xFF5555, 0xFF55FF, 0xFFFF55, 0xFFFFFF,
    };
    for (int i = 0; i < 16; ++i) p[i] = ega[i];
    return p;
}

std::unique_ptr<drawing_page>& page_slot() {
    static std::unique_ptr<drawing_page> slot = [] {
        auto p = std::make_unique<drawing_page>();
        init_text_page(*p);
        return p;
    }();
    return slot;
}

std::atomic<drawing_page*> shown_page{nullptr};
std::atomic<std::uint64_t> generation{0};

// Hand-over state: a mode change asks, the builder grants between passes.
std::atomic<bool> builder_running{false};
std::atomic<bool> change_asked{false};
std::atomic<bool> builder_in_pass{false};

void load_default_palette(drawing_page& page) {
    page.page_palette.fill(0);
    for (int i = 0; i < 16; ++i) page.page_palette[i] = default_palette[i] | 0xFF000000u;
}

} // namespace

const std::array<std::uint32_t, 256> default_palette = make_default_palette();

void init_mode12_page(drawing_page& page) {
    static_cast<page_state&>(page) = page_state{};
    page.pixels.assign(page_pixel_count, 0);
    load_default_palette(page);
}

void init_text_page(drawing_page& page) {
    static_cast<page_state&>(page) = page_state{};
    page.height = 400;
    page.mode = 0;
    page.text_window = {1, 25};
    page.viewport = {0, 0, 639, 399, 0, 0};
    page.graphics_cursor = {320.0f, 200.0f};
    page.pixels.assign(static_cast<std::size_t>(page_width) * 400, 0);
    load_default_palette(page);
}

drawing_page& active_page() {
    drawing_page* p = shown_page.load();
    if (p == nullptr) {
        p = page_slot().get();
        shown_page.store(p);
    }
    return *p;
}

void reset_active_page() {
    auto fresh = std::make_unique<drawing_page>();
    init_text_page(*fresh);
    shown_page.store(fresh.get());
    page_slot() = std::move(fresh);
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
    if (mode != 12) {
        // No other screen mode exists on this platform.
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
    shown_page.store(fresh.get());
    page_slot() = std::move(fresh);
    change_asked.store(false);
}

} // namespace platform
