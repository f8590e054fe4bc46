// Pause and Break in the order in which they were typed among the other keys.
//
// freeglut does not report Pause and Break; the event filter takes them out
// of freeglut's own X event stream, where every key of the window stands in
// the order it was typed. Each key event of the window gets a place in that
// stream, a running number; freeglut reports the other keys with their
// place (the event filter puts it in the key's x position, which the
// program does not use), and a Pause or Break held here is handed on just
// before the first key typed after it, or at the next redisplay tick when
// no key follows. So "4", Pause, "9" always gives the 4 to the keyboard
// first, and the 9 only ends the pause.
#pragma once

#include <cstdint>
#include <deque>
#include <mutex>
#include <optional>

#include "platform/window/window_events.h"

namespace platform {

// Places wrap around within 31 bits, so that they fit an X coordinate.
using stream_place = std::int32_t;

class key_stream_order {
public:
    // The place of the next key event of the window.
    stream_place next_place();

    // Holds a Pause or Break press or release at its place.
    void hold(window_event event, bool key_down, stream_place place);

    // Hands on, in order, what was held from before `place`.
    void hand_on_before(stream_place place);

    // Hands on everything held.
    void hand_on_all();

private:
    struct held_event {
        window_event event;
        bool key_down;
        stream_place place;
    };

    // Takes the oldest held event if `place` comes after it (or always, with no place).
    std::optional<held_event> take_oldest(std::optional<stream_place> place);

    std::mutex mutex_;
    std::deque<held_event> held_;
    std::uint32_t next_ = 0;
};

key_stream_order& window_key_order();

// Whether place a comes before place b, in the 31-bit running count.
bool comes_before(stream_place a, stream_place b);

} // namespace platform
