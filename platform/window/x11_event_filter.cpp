// The filter on freeglut's X event stream: the close box, the window's
// destruction, exposures, Pause and Break in their place among the keys,
// Shift+Tab and the Ctrl combinations.
#include "platform/window/x11_event_filter.h"

#include <X11/keysym.h>

#include "platform/window/key_stream_order.h"
#include "platform/window/window_display.h"
#include "platform/window/window_events.h"
#include "platform/window/x11_errors.h"

// Last: it defines the macros min and max, which the standard headers
// above must not see.
#include <X11/Xlibint.h>

namespace platform {

namespace {

using wire_to_event = Bool (*)(Display*, XEvent*, xEvent*);

Window filtered_window = 0;
Atom wm_protocols = 0;
Atom wm_delete_window = 0;
KeyCode tab_keycode = 0;
KeyCode pause_keycode = 0;
KeyCode break_keycode = 0;
wire_to_event previous_client_message = nullptr;
wire_to_event previous_key_press = nullptr;
wire_to_event previous_key_release = nullptr;
wire_to_event previous_destroy_notify = nullptr;
wire_to_event previous_expose = nullptr;

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

// A key event of our window takes its place in the stream. Pause and Break,
// which freeglut does not report, are held at their place and dropped from
// freeglut's stream; every other key reaches freeglut with its place in
// its x position and its state as key_lookup_state gives it.
Bool take_window_key(XEvent* event) {
    XKeyEvent& key = event->xkey;
    if (key.window != filtered_window) return True;
    const stream_place place = window_key_order().next_place();
    const std::optional<window_event> pause = pause_or_break(key.keycode, key.state, pause_keycode, break_keycode);
    if (pause) {
        window_key_order().hold(*pause, key.type == KeyPress, place);
        return False;
    }
    key.x = place;
    key.state = key_lookup_state(key.state, tab_keycode != 0 && key.keycode == tab_keycode);
    return True;
}

Bool filter_key_press(Display* display, XEvent* event, xEvent* wire) {
    const Bool keep = previous_key_press(display, event, wire);
    return keep ? take_window_key(event) : keep;
}

Bool filter_key_release(Display* display, XEvent* event, xEvent* wire) {
    const Bool keep = previous_key_release(display, event, wire);
    return keep ? take_window_key(event) : keep;
}

// freeglut has no use for the destruction of its window (it would go on
// drawing into it); the close request ends the process instead.
Bool filter_destroy_notify(Display* display, XEvent* event, xEvent* wire) {
    const Bool keep = previous_destroy_notify(display, event, wire);
    if (keep && event->xdestroywindow.window == filtered_window) {
        main_window_destroyed();
        return False;
    }
    return keep;
}

// The window needs its picture again (it was covered, or newly shown):
// noted for the presentation, which repaints even while paused; freeglut
// still gets the event and asks for the drawing.
Bool filter_expose(Display* display, XEvent* event, xEvent* wire) {
    const Bool keep = previous_expose(display, event, wire);
    if (keep && event->xexpose.window == filtered_window) note_window_exposed();
    return keep;
}

} // namespace

std::optional<window_event> pause_or_break(unsigned keycode, unsigned state, unsigned pause_code, unsigned break_code) {
    if (keycode == 0 || (keycode != pause_code && keycode != break_code)) return std::nullopt;
    // With Ctrl the Pause key gives Break on a PC keyboard map; a map
    // without that level still gives Pause, which with Ctrl is Break too.
    const bool own_break_key = keycode == break_code && break_code != pause_code;
    if (own_break_key || (state & ControlMask) != 0) return window_event::break_key;
    return window_event::pause_key;
}

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
    pause_keycode = XKeysymToKeycode(display, XK_Pause);
    break_keycode = XKeysymToKeycode(display, XK_Break);
    previous_client_message = XESetWireToEvent(display, ClientMessage, filter_client_message);
    previous_key_press = XESetWireToEvent(display, KeyPress, filter_key_press);
    previous_key_release = XESetWireToEvent(display, KeyRelease, filter_key_release);
    previous_destroy_notify = XESetWireToEvent(display, DestroyNotify, filter_destroy_notify);
    previous_expose = XESetWireToEvent(display, Expose, filter_expose);
}

} // namespace platform
