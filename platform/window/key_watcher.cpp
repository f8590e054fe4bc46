// The key watcher: the lock states and the modifiers held when the focus
// comes back, from a second X connection.
#include "platform/window/key_watcher.h"

#include <X11/XKBlib.h>
#include <X11/keysym.h>

#include "platform/keys/keyboard.h"
#include "platform/keys/lock_state.h"

namespace platform {

namespace {

bool key_down_in(const char (&keymap)[32], KeyCode code) {
    return code != 0 && (static_cast<unsigned char>(keymap[code / 8]) & (1u << (code % 8))) != 0;
}

modifier_keycodes find_modifier_keycodes(Display* display) {
    // In the order of modifier_key.
    constexpr KeySym symbols[] = {XK_Shift_L, XK_Shift_R, XK_Control_L, XK_Control_R, XK_Alt_L, XK_Alt_R};
    modifier_keycodes codes{};
    for (std::size_t i = 0; i < codes.size(); ++i) codes[i] = XKeysymToKeycode(display, symbols[i]);
    return codes;
}

} // namespace

void sync_held_modifiers(const char (&keymap)[32], const modifier_keycodes& codes) {
    for (std::size_t i = 0; i < codes.size(); ++i)
        set_key_held(key_event::modifier(static_cast<modifier_key>(i)), key_down_in(keymap, codes[i]));
}

key_watcher::~key_watcher() {
    if (display_ != nullptr) XCloseDisplay(display_);
}

void key_watcher::watch(Display* display, Window window) {
    display_ = display;
    XSelectInput(display_, window, FocusChangeMask);
    modifier_codes_ = find_modifier_keycodes(display_);
    sync_modifiers();

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

void key_watcher::sync_modifiers() {
    char keymap[32] = {};
    XQueryKeymap(display_, keymap);
    sync_held_modifiers(keymap, modifier_codes_);
}

void key_watcher::handle(XEvent& event) {
    if (have_xkb_ && event.type == xkb_event_base_) {
        const auto& xkb = reinterpret_cast<const XkbEvent&>(event);
        if (xkb.any.xkb_type == XkbStateNotify) publish_locks(xkb.state.locked_mods);
        return;
    }
    if (event.type == FocusIn) sync_modifiers();
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
