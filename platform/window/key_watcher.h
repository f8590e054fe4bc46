// A second X connection that follows the Caps Lock and Num Lock states
// through the keyboard extension and publishes them for the frame thread's
// polling. Its events are handled on the window thread, at every redisplay
// tick and before each key that freeglut reports.
//
// It selects the focus events: while the window has no focus it gets no
// key events, so a Shift, Ctrl or Alt key let go (or pressed) meanwhile would
// stay held (or not held) for the keyboard. Each time the focus comes back,
// the held modifier keys are made those that the keyboard holds down.
#pragma once

#include <X11/Xlib.h>

#include <array>

namespace platform {

// The keycode of each of the six modifier keys, in the order of modifier_key;
// 0 for a key that the keyboard map lacks.
using modifier_keycodes = std::array<KeyCode, 6>;

// Marks each modifier key as held when the keymap (the 32 bytes of
// XQueryKeymap, one bit per keycode) shows it down, and as not held
// otherwise, without the rules of a key-down: nothing is queued and a pause
// goes on.
void sync_held_modifiers(const char (&keymap)[32], const modifier_keycodes& codes);

class key_watcher {
public:
    key_watcher() = default;
    ~key_watcher();
    key_watcher(const key_watcher&) = delete;
    key_watcher& operator=(const key_watcher&) = delete;

    // Takes over the connection and starts watching the window; the modifier
    // keys held at that moment count as held.
    void watch(Display* display, Window window);

    // Handles every event that has arrived.
    void drain();

private:
    void handle(XEvent& event);
    void publish_locks(unsigned locked_modifiers);
    void sync_modifiers();

    Display* display_ = nullptr;
    int xkb_event_base_ = 0;
    bool have_xkb_ = false;
    unsigned num_lock_mask_ = 0;
    modifier_keycodes modifier_codes_{};
};

key_watcher& window_key_watcher();

} // namespace platform
