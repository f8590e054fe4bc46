// The filter on freeglut's X event stream: the close box, Shift+Tab and the
// Ctrl combinations.
#include "platform/window/x11_event_filter.h"

#include <X11/Xlibint.h>
#include <X11/keysym.h>

#include "platform/window/window_events.h"

namespace platform {

namespace {

using wire_to_event = Bool (*)(Display*, XEvent*, xEvent*);

Window filtered_window = 0;
Atom wm_protocols = 0;
Atom wm_delete_window = 0;
KeyCode tab_keycode = 0;
wire_to_event previous_client_message = nullptr;
wire_to_event previous_key_press = nullptr;
wire_to_event previous_key_release = nullptr;

// Called with the display locked: only plain field work here, no Xlib calls.
Bool filter_client_message(Display* display, XEvent* event, xEvent* wire) {
    const Bool keep = previous_client_message(display, event, wire);
    if (!keep) return keep;
    const XClientMessageEvent& message = event->xclient;
    if (message.window == filtered_window && message.message_type == wm_protocols && message.format == 32 &&
        static_cast<Atom>(message.data.l[0]) == wm_delete_window) {
        report_window_event(window_event::close_box);
        return False;
    }
    return keep;
}

void adjust_key_state(XEvent* event) {
    XKeyEvent& key = event->xkey;
    if (key.window != filtered_window) return;
    key.state = key_lookup_state(key.state, tab_keycode != 0 && key.keycode == tab_keycode);
}

Bool filter_key_press(Display* display, XEvent* event, xEvent* wire) {
    const Bool keep = previous_key_press(display, event, wire);
    if (keep) adjust_key_state(event);
    return keep;
}

Bool filter_key_release(Display* display, XEvent* event, xEvent* wire) {
    const Bool keep = previous_key_release(display, event, wire);
    if (keep) adjust_key_state(event);
    return keep;
}

} // namespace

unsigned key_lookup_state(unsigned state, bool tab_key) {
    unsigned cleared = ControlMask;
    if (tab_key) cleared |= ShiftMask;
    return state & ~cleared;
}

void install_event_filter(Display* display, Window window) {
    filtered_window = window;
    wm_protocols = XInternAtom(display, "WM_PROTOCOLS", False);
    wm_delete_window = XInternAtom(display, "WM_DELETE_WINDOW", False);
    tab_keycode = XKeysymToKeycode(display, XK_Tab);
    previous_client_message = XESetWireToEvent(display, ClientMessage, filter_client_message);
    previous_key_press = XESetWireToEvent(display, KeyPress, filter_key_press);
    previous_key_release = XESetWireToEvent(display, KeyRelease, filter_key_release);
}

} // namespace platform
