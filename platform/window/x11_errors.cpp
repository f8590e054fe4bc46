// The X error handlers and the window's destruction.
#include "platform/window/x11_errors.h"

#include <atomic>
#include <cstdarg>
#include <cstdio>

#include "platform/runtime/hooks.h"
#include "platform/window/window_events.h"

namespace platform {

namespace {

constexpr int failure_exit_code = 1;

std::atomic<Window> main_window{0};
std::atomic<bool> window_gone{false};
std::atomic<bool> ending{false};

// Set while raises_x_error waits for the replies to its requests; errors are
// reported on the thread that reads them, which is that same thread.
thread_local bool trapping_errors = false;
thread_local bool error_trapped = false;

int on_display_lost(Display*) { end_with_failure("the connection to the X display was lost"); }

int on_x_error(Display* display, XErrorEvent* error) {
    if (trapping_errors) {
        error_trapped = true;
        return 0;
    }
    const Window window = main_window.load();
    if (window_gone.load() || (window != 0 && error->resourceid == window)) {
        main_window_destroyed();
        return 0;
    }
    char text[160] = {};
    XGetErrorText(display, error->error_code, text, sizeof text);
    char line[256];
    std::snprintf(line, sizeof line, "X error: %s (request %d.%d)", text, error->request_code, error->minor_code);
    end_with_failure(line);
}

} // namespace

void install_x11_error_handlers() {
    XSetIOErrorHandler(on_display_lost);
    XSetErrorHandler(on_x_error);
}

bool raises_x_error(Display* display, const std::function<void()>& requests) {
    XSync(display, False);
    trapping_errors = true;
    error_trapped = false;
    requests();
    XSync(display, False);
    trapping_errors = false;
    return error_trapped;
}

void watch_main_window(Window window) { main_window.store(window); }

void main_window_destroyed() {
    if (!window_gone.exchange(true)) report_window_event(window_event::close_box);
}

bool main_window_gone() { return window_gone.load(); }

void on_toolkit_error(const char* format, va_list arguments) {
    char message[200] = {};
    std::vsnprintf(message, sizeof message, format, arguments);
    end_with_failure(message);
}

// Ends the process the runtime's way, flushed and without the static
// destructors: other threads may still be using what they would free.
void end_with_failure(std::string_view why) {
    if (!ending.exchange(true)) {
        std::fprintf(stderr, "wave_winding: %.*s\n", static_cast<int>(why.size()), why.data());
    }
    hooks().end_process(failure_exit_code);
    for (;;) hooks().park();
}

} // namespace platform
