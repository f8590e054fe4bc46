// The viewport and clearing: the rectangle to which lines are clipped and
// which clearing fills, with the offset it gives line coordinates, and the
// blanking of the page or that rectangle. While a runtime error is pending
// both do nothing.
#pragma once

#include <cstdint>

#include "platform/screen/page.h"

namespace platform {

// Sets the viewport to the rectangle between two opposite corners, given in
// either order; both must lie on the page, else runtime error 5 is raised and
// nothing changes.
void set_viewport(drawing_page& page, std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom);

// Fills the whole page (no viewport) or the viewport rectangle with the
// background colour, puts the text cursor at column 1 of the text window's
// top row and the graphics cursor at the centre of the viewport.
void clear_screen(drawing_page& page);

inline void set_viewport(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom) {
    set_viewport(active_page(), left, top, right, bottom);
}
inline void clear_screen() { clear_screen(active_page()); }

} // namespace platform
