// The page record, its start-up contents and the one page that is shown.
#include "platform/screen/page.h"

#include <atomic>
#include <memory>

namespace platform {

namespace {

constexpr std::array<std::uint32_t, 256> make_default_palette() {
    // The 16 standard EGA/VGA text colours; mode 12 uses no other entry, and
    // the remaining 240 stay black.
    std::array<std::uint32_t, 256> p{};
    constexpr std::uint32_t ega[page_colours] = {
        0x000000, 0x0000AA, 0x00AA00, 0x00AAAA, 0xAA0000, 0xAA00AA, 0xAA5500, 0xAAAAAA,
        0x555555, 0x5555FF, 0x55FF55, 0x55FFFF, 0xFF5555, 0xFF55FF, 0xFFFF55, 0xFFFFFF,
    };
    for (int i = 0; i < page_colours; ++i) p[i] = ega[i];
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

constexpr std::uint32_t opaque = 0xFF000000u;

void load_default_palette(drawing_page& page) {
    page.page_palette.fill(0);
    for (int i = 0; i < page_colours; ++i) page.page_palette[i] = default_palette[i] | opaque;
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
    page.height = text_page_height;
    page.mode = 0;
    page.text_window = {1, text_page_rows};
    page.viewport = {0, 0, page_width - 1, text_page_height - 1, 0, 0};
    page.graphics_cursor = {page_width / 2.0f, text_page_height / 2.0f};
    page.pixels.assign(static_cast<std::size_t>(page_width) * text_page_height, 0);
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

void replace_active_page(std::unique_ptr<drawing_page> fresh) {
    shown_page.store(fresh.get());
    page_slot() = std::move(fresh);
}

} // namespace platform
