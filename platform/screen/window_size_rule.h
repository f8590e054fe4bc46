// The window-size rule of the display side. The window follows a new picture
// size, and after the user resizes it, it is brought back to the picture's
// shape following the dimension that changed more (800 x 480 becomes
// 800 x 599, 700 x 700 becomes 933 x 700). Pure: the window code records the
// reshape events, tells what the window system says when asked, and acts on
// the answers.
//
// What keeps the window from chasing its own requests, or fighting a window
// manager:
// - the rule looks at each reshape once: a size that nobody changed is
//   never asked for again, and the window is never asked for the size it has;
// - a size that already has the picture's shape as the rule truncates it
//   (1000 x 749 is 4:3 for a 640 x 480 picture) is not corrected: every size
//   the rule asks for is of that shape, so a reshape that answers the
//   program's own request, late or early, never brings a further one;
// - a reshape that the window has already left behind (the server reports a
//   newer size) is passed over: its successor is on its way;
// - while the window is held at a size, maximized or full screen, the rule
//   rests, and the size the window comes back to is taken as it is;
// - a corrected size never exceeds the screen: where following the changed
//   dimension would, the largest size of the picture's shape that fits is
//   taken.
#pragma once

#include <functional>
#include <optional>

#include "platform/screen/display_policy.h"

namespace platform {

// What the window system says of the window when the rule has something to
// look at.
struct window_facts {
    window_size actual;       // the window's client size now, as the server has it
    bool held = false;        // maximized or full screen: not the user's size to shape
    window_size screen{0, 0}; // the largest client area that lies on the screen; 0 x 0 if unknown
};

// What the display side knows about the window between two drawings.
struct display_geometry {
    window_size current = initial_window_size;  // from the last reshape
    window_size previous = initial_window_size; // before the last reshape
    window_size last_frame = initial_window_size;
    float last_requested_aspect = initial_requested_aspect;
    bool reshape_pending = false;           // a reshape that the rule has not looked at yet
    bool restoring = false;                 // the window was held; the next free size is its way back
};

// A reshape event: the current size becomes the previous one.
void record_reshape(display_geometry& geometry, window_size new_size);

// The full-screen switch was pressed: the sizes on the way in and out are
// not the user's.
void note_full_screen_switch(display_geometry& geometry);

using window_facts_source = std::function<window_facts()>;

// The client size to ask the window for before drawing a frame of this size,
// or nothing. Asks the facts only when a reshape or a new frame size is
// there to look at. Updates the last frame size and the last requested aspect.
std::optional<window_size> window_size_request(display_geometry& geometry, window_size frame, picture_scaling scaling,
                                               bool snap_back, const window_facts_source& facts);

// Whether the size is its own correction: following its width or its height
// gives it back.
bool has_picture_shape(window_size size, float aspect);

// The size if it fits the screen, else the largest size of the picture's
// shape that does; a screen of 0 x 0 is unknown and bounds nothing.
window_size fit_to_screen(window_size size, window_size screen, float aspect);

} // namespace platform
