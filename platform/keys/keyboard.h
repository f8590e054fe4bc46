// Keys from the window to the key buffer: the held keys, Pause and Break,
// and the translation of a key-down into a key buffer entry.
#pragma once

#include <functional>

#include "platform/keys/key_event.h"

namespace platform {

// A key went down (also every auto-repeat). Runs on the window thread, and on
// the frame thread for the lock states it polls.
void handle_key_down(key_event key);
void handle_key_up(key_event key);

// Marks the key as held or not held, with none of the rules of a key-down or
// key-up: nothing is queued and a pause goes on. It brings the held modifier
// keys in step with the keyboard after the window missed their presses or
// releases.
void set_key_held(key_event key, bool held);

// Empties the held-key set (start-up, headless runs).
void reset_keyboard();

// Called for Alt with Enter; the window installs its full-screen switch.
void set_full_screen_switch(std::function<void()> toggle);

} // namespace platform
