// What X errors and a lost display connection do to the process.
//
// - The connection to the display is lost (the server ended, the link
//   broke): one line on stderr, and the process ends at once with exit code
//   1. Xlib's own handler would call exit(), whose static destructors free
//   the page while the program thread still draws into it.
// - The window is destroyed by another client: that counts as the close
//   box (the close request, then the normal end with exit code 0), and no X
//   error about the window that is gone ends the process.
// - Any other X error: one line on stderr naming it, and the process ends
//   with exit code 1, again without running the static destructors.
#pragma once

#include <X11/Xlib.h>

#include <cstdarg>
#include <functional>
#include <string_view>

namespace platform {

// Installs the handlers for every display connection of the process.
void install_x11_error_handlers();

// The program's window: its destruction, and errors about it, count as a close.
void watch_main_window(Window window);

// The window was destroyed (seen in the event stream or in an error about
// it); raises the close request the first time.
void main_window_destroyed();

bool main_window_gone();

// Runs the requests and tells whether any of them raised an X error; such an
// error is expected (a window that may have gone) and does not end the
// process. Waits for the server's replies before it returns.
bool raises_x_error(Display* display, const std::function<void()>& requests);

// freeglut's fatal errors: one line on stderr and the process ends with
// exit code 1, without the static destructors.
void on_toolkit_error(const char* format, va_list arguments);

// Any failure that ends the process: the line "wave_winding: why" on stderr
// (from the first caller only) and exit code 1, without the static
// destructors.
[[noreturn]] void end_with_failure(std::string_view why);

} // namespace platform
