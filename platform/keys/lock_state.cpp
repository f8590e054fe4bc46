// The published lock states and the reporter that turns their changes into key events.
#include "platform/keys/lock_state.h"

#include <atomic>

#include "platform/keys/keyboard.h"

namespace platform {

namespace {

std::atomic<bool> caps_on{false};
std::atomic<bool> num_on{false};

void report(bool was, bool is, lock_key key) {
    if (was == is) return;
    if (is) handle_key_down(key_event::lock(key));
    else handle_key_up(key_event::lock(key));
}

} // namespace

void publish_lock_states(lock_states states) {
    caps_on.store(states.caps_lock);
    num_on.store(states.num_lock);
}

lock_states published_lock_states() { return {caps_on.load(), num_on.load()}; }

void lock_key_reporter::poll(lock_states now) {
    report(last_.caps_lock, now.caps_lock, lock_key::caps_lock);
    report(last_.num_lock, now.num_lock, lock_key::num_lock);
    last_ = now;
}

} // namespace platform
