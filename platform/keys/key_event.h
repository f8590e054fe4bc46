// A key as the window side reports it to the keyboard.
#pragma once

#include <cstdint>

namespace platform {

enum class key_kind : std::uint8_t {
    character, // a character code 0..255 as delivered (Shift and Caps Lock applied)
    extended,  // an extended key code (arrows, function keys, ...)
    modifier,  // one of the six modifier keys
    lock,      // Caps Lock or Num Lock turned on (down) or off (up)
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

} // namespace platform
