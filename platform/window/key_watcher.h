// A second X connection that watches the window's key events for the keys
// that freeglut does not report: Pause, and Break (Ctrl with Pause). It also
// follows the Caps Lock and Num Lock states through the keyboard extension
// and publishes them for the frame thread's polling.
//
// It selects KeyPress and KeyRelease on the window, so it sees every key
// event, short presses included. Its events are handled on the window
// thread: at every redisplay tick and before each key that freeglut reports,
// so a Pause typed before a key is handled before it.
#pragma once

#include <X11/Xlib.h>

namespace platform {

class key_watcher {
public:
    key_watcher() = default;
    ~key_watcher();
    key_watcher(const key_watcher&) = delete;
    key_watcher& operator=(const key_watcher&) = delete;

    // Takes over the connection and starts watching the window; the modifier
    // keys held at that moment are reported as pressed.
    void watch(Display* display, Window window);

    // Handles every event that has arrived.
    void drain();

private:
    void handle(XEvent& event);
    void publish_locks(unsigned locked_modifiers);

    Display* display_ = nullptr;
    int xkb_event_base_ = 0;
    bool have_xkb_ = false;
    unsigned num_lock_mask_ = 0;
};

key_watcher& window_key_watcher();

} // namespace platform
