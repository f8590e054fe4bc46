// Drawing a line: the graphics cursor, the conversion of the end points to
// whole pixels, the viewport offset, the clipping and the rasterisation along
// the major axis.
#include "platform/screen/line_drawing.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "platform/runtime/flags.h"
#include "platform/screen/integer_arguments.h"
#include "platform/screen/line_clipping.h"

namespace platform {

namespace {

line_observer observer_slot;

// The rectangle that lines are clipped to: the whole page with no viewport,
// else the viewport, never reaching beyond the page.
clip_rect drawing_rect(const drawing_page& page) {
    const std::int64_t last_x = static_cast<std::int64_t>(page.width) - 1;
    const std::int64_t last_y = static_cast<std::int64_t>(page.height) - 1;
    if (page.clip_mode == 0) return {0, 0, last_x, last_y};
    return {std::max<std::int64_t>(page.viewport.left, 0), std::max<std::int64_t>(page.viewport.top, 0),
            std::min<std::int64_t>(page.viewport.right, last_x), std::min<std::int64_t>(page.viewport.bottom, last_y)};
}

bool page_holds_its_pixels(const drawing_page& page) {
    return page.pixels.size() >= static_cast<std::size_t>(page.width) * page.height;
}

// A minor value of the rasterisation as a whole pixel: half away from zero.
// The addition is done in double, where it is exact, so a value just below
// one half stays below it.
std::int64_t round_half_away(float v) {
    const double d = v;
    return static_cast<std::int64_t>(d < 0.0 ? d - 0.5 : d + 0.5);
}

// Steps along the major axis from `major_from` to `major_to`, one pixel at a
// time, and hands each pixel to `plot(major, minor)`. The minor value advances
// by a single-precision slope with single-precision additions; it stays within
// the end points' range, and the clamp only makes sure of that.
template <class Plot>
void step_along_major(std::int64_t major_from, std::int64_t major_to, std::int64_t minor_from, std::int64_t minor_to,
                      Plot plot) {
    const std::int64_t length = major_to > major_from ? major_to - major_from : major_from - major_to;
    const std::int64_t step = major_to > major_from ? 1 : -1;
    const float slope = static_cast<float>(minor_to - minor_from) / static_cast<float>(length);
    const std::int64_t low = std::min(minor_from, minor_to);
    const std::int64_t high = std::max(minor_from, minor_to);
    float v = static_cast<float>(minor_from);
    std::int64_t major = major_from;
    for (std::int64_t k = 0; k <= length; ++k) {
        plot(major, std::clamp(round_half_away(v), low, high));
        major += step;
        v = v + slope;
    }
}

// Sets the pixels of a line whose end points both lie on the page: x is the
// major axis when the line is wider than high, y otherwise (a 45-degree line
// and a single pixel included).
void rasterise(drawing_page& page, const line_point& p1, const line_point& p2, std::uint8_t colour) {
    const std::int64_t dx = p2.x > p1.x ? p2.x - p1.x : p1.x - p2.x;
    const std::int64_t dy = p2.y > p1.y ? p2.y - p1.y : p1.y - p2.y;
    const std::size_t stride = page.width;
    std::uint8_t* const base = page.pixels.data();
    auto pixel = [&](std::int64_t x, std::int64_t y) -> std::uint8_t& {
        return base[static_cast<std::size_t>(y) * stride + static_cast<std::size_t>(x)];
    };
    if (dx > dy) {
        if (p1.y == p2.y) {
            std::memset(&pixel(std::min(p1.x, p2.x), p1.y), colour, static_cast<std::size_t>(dx) + 1);
            return;
        }
        step_along_major(p1.x, p2.x, p1.y, p2.y, [&](std::int64_t x, std::int64_t y) { pixel(x, y) = colour; });
        return;
    }
    if (p1.x == p2.x) {
        // Vertical, or a single pixel: the minor value never moves.
        std::uint8_t* out = &pixel(p1.x, std::min(p1.y, p2.y));
        for (std::int64_t k = 0; k <= dy; ++k, out += stride) *out = colour;
        return;
    }
    step_along_major(p1.y, p2.y, p1.x, p2.x, [&](std::int64_t y, std::int64_t x) { pixel(x, y) = colour; });
}

} // namespace

line_observer set_line_observer(line_observer observer) { return std::exchange(observer_slot, std::move(observer)); }

void draw_line(drawing_page& page, float x1, float y1, float x2, float y2) {
    if (observer_slot) observer_slot(x1, y1, x2, y2);
    if (error_is_pending()) return;
    page.graphics_cursor = {x2, y2};

    line_point p1{line_coordinate_to_int(x1), line_coordinate_to_int(y1)};
    line_point p2{line_coordinate_to_int(x2), line_coordinate_to_int(y2)};
    if (page.clip_mode != 0) {
        // Held in 64 bits, so a coordinate near the top of the 32-bit range
        // stays on the right of the viewport instead of wrapping to the left.
        p1.x += page.viewport.offset_x;
        p2.x += page.viewport.offset_x;
        p1.y += page.viewport.offset_y;
        p2.y += page.viewport.offset_y;
    }

    const clip_rect rect = drawing_rect(page);
    if (rect.left > rect.right || rect.top > rect.bottom || !page_holds_its_pixels(page)) return;
    if (!clip_line(p1, p2, rect)) return;
    rasterise(page, p1, p2, static_cast<std::uint8_t>(page.foreground_color & page.color_mask));
}

} // namespace platform
