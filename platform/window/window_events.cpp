// Pause, Break and the close box, passed on to the keyboard and the flags.
#include "platform/window/window_events.h"

#include "platform/keys/keyboard.h"
#include "platform/runtime/flags.h"

namespace platform {

void report_window_event(window_event event, bool key_down) {
    switch (event) {
        case window_event::pause_key:
            key_down ? handle_key_down(key_event::pause()) : handle_key_up(key_event::pause());
            break;
        case window_event::break_key:
            key_down ? handle_key_down(key_event::break_key()) : handle_key_up(key_event::break_key());
            break;
        case window_event::close_box: flags().close_request.fetch_or(window_closed_bit); break;
    }
}

} // namespace platform
