// The runtime's modal message box on X11: a small window of its own, on its
// own display connection, with a caption, the text lines and Yes/No or OK
// buttons, answered with the mouse or the keyboard (Enter or Space for the
// focused button, Tab to move between the buttons, Y, N, Escape).
//
// It holds only the calling thread; the window and the other threads go on.
// When the program is being stopped while a box is open (the window was
// closed, or Break was pressed), the box goes away as if answered No (or OK),
// so that the routine can park and the process end normally.
//
// Each text line and each button is a child window named with its text, so
// the box's contents can be read back with the ordinary X tools.
#pragma once

#include <X11/Xlib.h>

#include <string>

#include "platform/runtime/hooks.h"

namespace platform {

box_answer show_message_box(const std::string& caption, const std::string& text, box_buttons buttons);

// The program's main window: the keyboard focus goes back to it when a box
// that took the focus from it closes.
void set_message_box_owner(Window window);

} // namespace platform
