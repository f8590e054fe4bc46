// What the window system says of the program's window, for the window-size
// rule: the client size the server has now, whether the window manager holds
// it maximized or full screen, and how large a client area fits on the
// screen. Each answer is a round trip, asked only when a reshape or a new
// picture size is there to look at.
#pragma once

#include <X11/Xlib.h>

#include <span>

#include "platform/screen/window_size_rule.h"

namespace platform {

// Whether a window with these _NET_WM_STATE atoms is held at a size by its
// manager: maximized in either direction, or full screen.
bool state_holds_size(std::span<const Atom> state, Atom maximized_vert, Atom maximized_horz, Atom fullscreen);

// The largest client area on the screen: the work area (or the whole root
// window) less the manager's frame around the client.
struct frame_extents {
    long left = 0, right = 0, top = 0, bottom = 0;
};
window_size usable_client_area(window_size work_area, frame_extents frame);

// own_full_screen: the program's own full-screen display, which holds the
// size as the manager's does.
window_facts read_window_facts(Display* display, Window window, bool own_full_screen);

} // namespace platform
