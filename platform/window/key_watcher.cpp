// The key watcher: Pause, Break and the lock states from a second X connection.
#include "platform/window/key_watcher.h"

#include <X11/XKBlib.h>
#include <X11/keysym.h>
#include <X11/Xutil.h>

#include "platform/keyboard.h"
#include "platform/lock_state.h"
#include "platform/window/window_events.h"

namespace platform {

namespace {

// Modifier keys already held when the window opens count as pressed.
void report_held_modifiers(Display* display) {
    struct modifier_symbol {
        KeySym symbol;
        modifier_key key;
    };
    constexpr modifier_symbol modifiers[] = {
        {XK_Shift_L, modifier_key::left_shift},  {XK_Shift_R, modifier_key::right_shift},
        {XK_Control_L, modifier_key::left_ctrl}, {XK_Control_R, modifier_key::right_ctrl},
        {XK_Alt_L, modifier_key::left_alt},      {XK_Alt_R, modifier_key::right_alt},
    };
    char held[32] = {};
    XQueryKeymap(display, held);
    for (const modifier_symbol& m : modifiers) {
        const KeyCode code = XKeysymToKeycode(display, m.symbol);
        if (code != 0 && (held[code / 8] & (1 << (code % 8))) != 0) handle_key_down(key_event::modifier(m.key));
    }
}

} // namespace

key_watcher::~key_watcher() {
    if (display_ != nullptr) XCloseDisplay(display_);
}

void key_watcher::watch(Display* display, Window window) {
    display_ = display;
    XSelectInput(display_, window, KeyPressMask | KeyReleaseMask);
    report_held_modifiers(display_);

    int opcode = 0, error_base = 0, major = XkbMajorVersion, minor = XkbMinorVersion;
    have_xkb_ = XkbQueryExtension(display_, &opcode, &xkb_event_base_, &error_base, &major, &minor) != 0;
    if (have_xkb_) {
        num_lock_mask_ = XkbKeysymToModifiers(display_, XK_Num_Lock);
        XkbSelectEventDetails(display_, XkbUseCoreKbd, XkbStateNotify, XkbModifierLockMask, XkbModifierLockMask);
        XkbStateRec state{};
        if (XkbGetState(display_, XkbUseCoreKbd, &state) == Success) publish_locks(state.locked_mods);
    }
    XFlush(display_);
}

void key_watcher::publish_locks(unsigned locked_modifiers) {
    lock_states states;
    states.caps_lock = (locked_modifiers & LockMask) != 0;
    states.num_lock = num_lock_mask_ != 0 && (locked_modifiers & num_lock_mask_) != 0;
    publish_lock_states(states);
}

void key_watcher::handle(XEvent& event) {
    if (have_xkb_ && event.type == xkb_event_base_) {
        const auto& xkb = reinterpret_cast<const XkbEvent&>(event);
        if (xkb.any.xkb_type == XkbStateNotify) publish_locks(xkb.state.locked_mods);
        return;
    }
    if (event.type != KeyPress && event.type != KeyRelease) return;
    const bool down = event.type == KeyPress;
    KeySym symbol = NoSymbol;
    char text[8];
    XLookupString(&event.xkey, text, sizeof text, &symbol, nullptr);
    // With Ctrl the Pause key gives Break on a PC keyboard map; a map
    // without that level still gives Pause, which with Ctrl is Break too.
    const bool ctrl = (event.xkey.state & ControlMask) != 0;
    if (symbol == XK_Break || (symbol == XK_Pause && ctrl)) {
        report_window_event(window_event::break_key, down);
    } else if (symbol == XK_Pause) {
        report_window_event(window_event::pause_key, down);
    }
}

void key_watcher::drain() {
    if (display_ == nullptr) return;
    while (XPending(display_) > 0) {
        XEvent event;
        XNextEvent(display_, &event);
        handle(event);
    }
}

key_watcher& window_key_watcher() {
    static key_watcher watcher;
    return watcher;
}

} // namespace platform
