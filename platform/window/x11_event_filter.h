// A filter on freeglut's own X event stream, applied as Xlib reads each event
// and so in the stream's order:
// - the window manager's WM_DELETE_WINDOW for our window raises the close
//   request and is dropped, so that freeglut never destroys the window: it
//   stays on the screen until the process ends;
// - Tab with Shift reaches freeglut as Tab, which it reports as the character
//   9 (it ignores the Shift+Tab keysym); the Shift key's own press has already
//   marked Shift as held.
#pragma once

#include <X11/Xlib.h>

namespace platform {

void install_event_filter(Display* display, Window window);

} // namespace platform
