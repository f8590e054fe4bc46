// The viewport and clearing: setting the rectangle that line drawing and
// clearing are restricted to, and blanking the page or that rectangle.
#include "platform/screen/viewport.h"

#include <algorithm>
#include <cstring>

#include "platform/runtime/errors.h"
#include "platform/runtime/flags.h"

namespace platform {

namespace {

bool on_page_x(const drawing_page& page, std::int32_t x) { return x >= 0 && x < page.width; }
bool on_page_y(const drawing_page& page, std::int32_t y) { return y >= 0 && y < page.height; }

} // namespace

void set_viewport(drawing_page& page, std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom) {
    if (error_is_pending()) return;
    if (!on_page_x(page, left) || !on_page_x(page, right) || !on_page_y(page, top) || !on_page_y(page, bottom)) {
        raise_error(illegal_function_call);
        return;
    }
    const std::int32_t l = std::min(left, right);
    const std::int32_t t = std::min(top, bottom);
    page.viewport = {l, t, std::max(left, right), std::max(top, bottom), l, t};
    page.clip_mode = 1;
}

void clear_screen(drawing_page& page) {
    if (error_is_pending()) return;
    page.text_cursor = {1, page.text_window.top};
    // The cursor has been placed, so a wrap held back from the last print no
    // longer applies.
    page.pending_wrap = 0;

    const std::uint8_t colour = static_cast<std::uint8_t>(page.background_color & page.color_mask);
    const bool pixels_complete = page.pixels.size() >= static_cast<std::size_t>(page.width) * page.height;
    if (page.clip_mode == 0) {
        if (pixels_complete)
            std::memset(page.pixels.data(), colour, static_cast<std::size_t>(page.width) * page.height);
        page.graphics_cursor = {static_cast<float>(page.width) / 2.0f, static_cast<float>(page.height) / 2.0f};
        return;
    }

    const viewport_rect& v = page.viewport;
    // Only the part of the rectangle that lies on the page is filled, one run
    // per row.
    const std::int64_t left = std::max<std::int64_t>(v.left, 0);
    const std::int64_t top = std::max<std::int64_t>(v.top, 0);
    const std::int64_t right = std::min<std::int64_t>(v.right, page.width - 1);
    const std::int64_t bottom = std::min<std::int64_t>(v.bottom, page.height - 1);
    if (pixels_complete && left <= right) {
        for (std::int64_t y = top; y <= bottom; ++y) {
            std::memset(page.row(static_cast<int>(y)) + left, colour, static_cast<std::size_t>(right - left + 1));
        }
    }
    page.graphics_cursor = {static_cast<float>(static_cast<std::int64_t>(v.right) - v.left + 1) / 2.0f,
                            static_cast<float>(static_cast<std::int64_t>(v.bottom) - v.top + 1) / 2.0f};
}

} // namespace platform
