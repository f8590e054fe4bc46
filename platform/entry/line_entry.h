// The line entry of a number: the user types a Single at the text cursor,
// key by key; a key that would make the text something other than (the
// beginning of) a valid number is taken back at once, and the target always
// holds the value of the text on the screen.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

#include "platform/screen/page.h"

namespace platform {

// Type word of a Single target: the floating-point flag and the size in bits.
inline constexpr std::uint32_t single_type_word = 0x20000020;

// The longest text an entry holds; a key beyond it is ignored.
inline constexpr std::size_t entry_text_limit = 255;

// The targets of the next entry and their type words, filled by the caller
// before input_values; entry 1 is index 0.
extern std::array<float*, 1> input_targets;
extern std::array<std::uint32_t, 1> input_types;

// Runs one entry into input_targets[0] (count 1, a Single) at the text
// cursor, ending with Enter and, when `newline` is set, a newline. Returns at
// once while a runtime error is pending, and at the next poll once a stop is
// requested.
void input_values(int count, bool newline);

// Inspection of the running entry, for tests.
namespace line_entry_inspection {

struct entry_view {
    std::string_view entry_text;
    text_position start;         // the text cursor at the call
    std::uint8_t start_wrap = 0; // pending_wrap at the call
    const drawing_page* snapshot = nullptr;
    int pending_blanks = 0;
    bool cursor_shown = false;
};

// The entry that input_values is running now, if any.
std::optional<entry_view> current_entry();

// Lets only the next `copies_allowed` page copies succeed; the ones after
// fail as if no memory were left. A negative count lifts the limit.
void limit_page_copies(int copies_allowed);

} // namespace line_entry_inspection

} // namespace platform
