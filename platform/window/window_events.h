// Events that the window system reports apart from the ordinary keys: Pause,
// Break and the close box.
#pragma once

namespace platform {

enum class window_event { pause_key, break_key, close_box };

// Pause and Break go to the keyboard as keys; the close box raises bit 0 of
// close_request and leaves the window standing.
void report_window_event(window_event event, bool key_down = true);

} // namespace platform
