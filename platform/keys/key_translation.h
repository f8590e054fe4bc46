// The key translation table: for each character code 0..255 and, at
// 256 + code, each extended key, its scan code and the value it gives with no
// modifier, Shift, Ctrl and Alt. A value below 256 is a character, a value
// code * 256 the extended key (0, code), and 0 means nothing is queued.
#pragma once

#include <array>
#include <cstdint>

namespace platform {

enum class modifier_column { none = 0, shift = 1, ctrl = 2, alt = 3 };

struct key_translation_row {
    std::uint8_t scan = 0;
    std::array<std::uint16_t, 4> value{};
};

// Character rows 0..255, then a row for each extended code.
inline constexpr int extended_rows_start = 256;
inline constexpr int translation_rows = extended_rows_start + 256;

extern const std::array<key_translation_row, translation_rows> key_translation_table;

// The row of an extended key.
constexpr int extended_row(std::uint8_t code) { return extended_rows_start + code; }

// Extended codes of the keys that the window reports.
namespace extended {
inline constexpr std::uint8_t f1 = 0x3B;
inline constexpr std::uint8_t f10 = 0x44;
inline constexpr std::uint8_t f11 = 0x85;
inline constexpr std::uint8_t f12 = 0x86;
inline constexpr std::uint8_t home = 0x47;
inline constexpr std::uint8_t up = 0x48;
inline constexpr std::uint8_t page_up = 0x49;
inline constexpr std::uint8_t left = 0x4B;
inline constexpr std::uint8_t right = 0x4D;
inline constexpr std::uint8_t end = 0x4F;
inline constexpr std::uint8_t down = 0x50;
inline constexpr std::uint8_t page_down = 0x51;
inline constexpr std::uint8_t insert = 0x52;
inline constexpr std::uint8_t del = 0x53;
} // namespace extended

} // namespace platform
