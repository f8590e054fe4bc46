// Line drawing, the viewport and clearing on the drawing page.
//
// draw_line converts its end points to whole pixels, clips the line to the
// viewport rectangle and sets its pixels in the foreground colour;
// set_viewport restricts drawing and clearing to a rectangle and moves the
// origin of line coordinates to its top-left corner; clear_screen blanks the
// page or the viewport. While a runtime error is pending all three do nothing.
//
// Each operation has a form that works on a given page and one for the
// active page.
#pragma once

#include <cstdint>
#include <functional>

#include "platform/page.h"

namespace platform {

// What a line end point that is not a number, infinite or beyond the 32-bit
// range converts to, whatever its sign.
inline constexpr std::int32_t off_range_coordinate = -2147483647 - 1;

// A line coordinate as a whole pixel: the nearest integer, ties to the even
// one; off_range_coordinate for NaN, infinities and values outside int32.
std::int32_t line_coordinate_to_int(float value);

// Draws a solid line from (x1, y1) to (x2, y2), both end pixels included, in
// the foreground colour, clipped to the viewport (the whole page while none
// is set). The graphics cursor ends at (x2, y2).
void draw_line(drawing_page& page, float x1, float y1, float x2, float y2);

// Sets the viewport to the rectangle between two opposite corners, given in
// either order; both must lie on the page, else runtime error 5 is raised and
// nothing changes.
void set_viewport(drawing_page& page, std::int32_t left, std::int32_t top, std::int32_t right,
                  std::int32_t bottom);

// Fills the whole page (no viewport) or the viewport rectangle with the
// background colour, puts the text cursor at column 1 of the text window's
// top row and the graphics cursor at the centre of the viewport.
void clear_screen(drawing_page& page);

inline void draw_line(float x1, float y1, float x2, float y2) { draw_line(active_page(), x1, y1, x2, y2); }
inline void set_viewport(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom) {
    set_viewport(active_page(), left, top, right, bottom);
}
inline void clear_screen() { clear_screen(active_page()); }

// A watcher that draw_line calls with its four arguments on every call,
// before it draws, so that a test can record the lines the routine asks for.
// An empty function removes it.
using line_observer = std::function<void(float x1, float y1, float x2, float y2)>;
void set_line_observer(line_observer observer);

} // namespace platform
