// The full-screen display that Alt with Enter switches.
//
// Each press flips the wanted state and asks for that state outright, never
// for a toggle: however fast the presses come (a held key repeats), the
// window ends in the state of the last press, never out of step with it.
// - Under a window manager that offers full screen (_NET_WM_STATE_FULLSCREEN),
//   the manager is asked to add or remove the state; it keeps and restores
//   the window's size and place.
// - Without one, the window itself is laid over the whole screen, its
//   earlier place and size kept and given back on the way out.
#pragma once

#include <X11/Xlib.h>

namespace platform {

class full_screen_switch {
public:
    void toggle(Display* display, Window window);

    // Whether the program's own full-screen display (the one without a
    // manager) holds the window; the manager's is read from the window.
    bool own_display_active() const { return wanted_ && !by_manager_; }

private:
    void ask_manager(Display* display, Window window, bool full);
    void cover_screen(Display* display, Window window);
    void restore_window(Display* display, Window window);

    bool wanted_ = false;
    bool by_manager_ = false;
    int saved_x_ = 0, saved_y_ = 0;
    unsigned saved_width_ = 0, saved_height_ = 0;
};

} // namespace platform
