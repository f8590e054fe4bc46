// The Caps Lock and Num Lock states: published by the window side as it
// learns them, polled by the frame thread, which reports a lock that turned
// on as a key-down of that key and one that turned off as a key-up.
#pragma once

namespace platform {

struct lock_states {
    bool caps_lock = false;
    bool num_lock = false;
    bool operator==(const lock_states&) const = default;
};

// Window side: the states as the window system last reported them.
void publish_lock_states(lock_states states);
lock_states published_lock_states();

// Remembers the states of the last poll and turns each change into a key
// event. Starts with both locks off, so a lock already on at start-up is
// reported as pressed at the first poll.
class lock_key_reporter {
public:
    void poll(lock_states now);

private:
    lock_states last_{};
};

} // namespace platform
