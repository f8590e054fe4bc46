// Keys from the window to the key buffer, and from the key buffer to the
// routine.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace platform {

enum class key_kind : std::uint8_t {
    character,  // a character code 0..255 as delivered (Shift and Caps Lock applied)
    extended,   // an extended key code (arrows, function keys, ...)
    modifier,   // one of the six modifier keys
    lock,       // Caps Lock or Num Lock turned on (down) or off (up)
    pause,
    break_key,
};

enum class modifier_key : std::uint8_t { left_shift, right_shift, left_ctrl, right_ctrl, left_alt, right_alt };
enum class lock_key : std::uint8_t { caps_lock, num_lock };

struct key_event {
    key_kind kind = key_kind::character;
    std::uint8_t code = 0;

    static key_event character(std::uint8_t c) { return {key_kind::character, c}; }
    static key_event extended_key(std::uint8_t c) { return {key_kind::extended, c}; }
    static key_event modifier(modifier_key m) { return {key_kind::modifier, static_cast<std::uint8_t>(m)}; }
    static key_event lock(lock_key l) { return {key_kind::lock, static_cast<std::uint8_t>(l)}; }
    static key_event pause() { return {key_kind::pause, 0}; }
    static key_event break_key() { return {key_kind::break_key, 0}; }

    bool operator==(const key_event&) const = default;
};

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

// The next key from the key buffer as a temporary text: "" when none waits,
// the character, or a NUL and the extended code. Never waits.
std::string_view read_key();

// -1 when both texts are equal, 0 when not.
std::int32_t strings_equal(std::string_view a, std::string_view b);
// -1 when the texts differ, 0 when not.
std::int32_t strings_differ(std::string_view a, std::string_view b);

} // namespace platform
