// A filter on freeglut's own X event stream, applied as Xlib reads each event
// and so in the stream's order:
// - the window manager's WM_DELETE_WINDOW for our window raises the close
//   request and is dropped, so that freeglut never destroys the window: it
//   stays on the screen until the process ends;
// - Tab with Shift reaches freeglut as Tab, which it reports as the character
//   9 (it ignores the Shift+Tab keysym); the Shift key's own press has already
//   marked Shift as held;
// - every key of our window reaches freeglut without Ctrl, so that it reports
//   the key's own character (Return 13, BackSpace 8, Tab 9, space, the digit,
//   the letter) rather than the control character that X makes of the
//   combination (0 for Ctrl+2 and Ctrl+space alike, 27 for Ctrl+3, 127 for
//   Ctrl+8). The keyboard takes Ctrl from its held keys, which the Ctrl keys'
//   own presses and releases keep, and translates the key's character in
//   its Ctrl column.
#pragma once

#include <X11/Xlib.h>

namespace platform {

// The modifier state with which freeglut looks the key up: without Ctrl,
// and for the Tab key without Shift either.
unsigned key_lookup_state(unsigned state, bool tab_key);

void install_event_filter(Display* display, Window window);

} // namespace platform
