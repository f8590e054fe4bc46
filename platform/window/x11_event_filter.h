// A filter on freeglut's own X event stream, applied as Xlib reads each event
// and so in the stream's order:
// - the window manager's WM_DELETE_WINDOW for our window raises the close
//   request and is dropped, so that freeglut never destroys the window: it
//   stays on the screen until the process ends;
// - Pause and Break, which freeglut does not report, are taken out of the
//   stream and handed on in their place among the other keys (see
//   key_stream_order.h);
// - Tab with Shift reaches freeglut as Tab, which it reports as the character
//   9 (it ignores the Shift+Tab keysym); the Shift key's own press has already
//   marked Shift as held;
// - the window's own destruction by another client counts as the close box
//   (see x11_errors.h);
// - an exposure of the window is noted for the presentation, which then
//   repaints the picture even while the program is paused;
// - every key of our window reaches freeglut without Ctrl, so that it reports
//   the key's own character (Return 13, BackSpace 8, Tab 9, space, the digit,
//   the letter) rather than the control character that X makes of the
//   combination (0 for Ctrl+2 and Ctrl+space alike, 27 for Ctrl+3, 127 for
//   Ctrl+8). The keyboard takes Ctrl from its held keys, which the Ctrl keys'
//   own presses and releases keep, and translates the key's character in
//   its Ctrl column.
#pragma once

#include <X11/Xlib.h>

#include <optional>

#include "platform/window/window_events.h"

namespace platform {

// Whether a key event is Pause or Break: the Pause key, or the key that
// the keyboard map gives Break, with Ctrl Break; nothing for other keys.
std::optional<window_event> pause_or_break(unsigned keycode, unsigned state, unsigned pause_code, unsigned break_code);

// The modifier state with which freeglut looks the key up: without Ctrl,
// and for the Tab key without Shift either.
unsigned key_lookup_state(unsigned state, bool tab_key);

void install_event_filter(Display* display, Window window);

} // namespace platform
