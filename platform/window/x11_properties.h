// Reading a window property of 32-bit items (atoms, cardinals, windows).
#pragma once

#include <X11/Xlib.h>

#include <optional>
#include <vector>

namespace platform {

// The items of the property (Xlib hands them over as longs), or nothing when
// the window lacks it or holds it in another type or format.
std::optional<std::vector<long>> read_property_items(Display* display, Window window, const char* name, Atom type);

} // namespace platform
