// Line drawing on the drawing page: draw_line converts its end points to
// whole pixels, moves them by the viewport offset, clips the line to the
// viewport rectangle (viewport.h) and sets its pixels in the foreground
// colour. While a runtime error is pending it draws nothing.
//
// It has a form that works on a given page and one for the active page.
#pragma once

#include <cstdint>
#include <functional>

#include "platform/screen/page.h"

namespace platform {

// Draws a solid line from (x1, y1) to (x2, y2), both end pixels included, in
// the foreground colour, clipped to the viewport (the whole page while none
// is set). The graphics cursor ends at (x2, y2).
void draw_line(drawing_page& page, float x1, float y1, float x2, float y2);

inline void draw_line(float x1, float y1, float x2, float y2) { draw_line(active_page(), x1, y1, x2, y2); }

// A watcher that draw_line calls with its four arguments on every call,
// before it draws, so that a test can record the lines the routine asks for.
// An empty function removes it. Gives back the watcher it replaces, so that
// one watcher can pass each call on to the one it stands in front of.
using line_observer = std::function<void(float x1, float y1, float x2, float y2)>;
line_observer set_line_observer(line_observer observer);

} // namespace platform
