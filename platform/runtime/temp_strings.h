// Temporary text pieces: the texts made for one statement (number texts,
// literals, keys read), released together when the statement ends.
#pragma once

#include <cstddef>
#include <deque>
#include <string>
#include <string_view>

namespace platform {

// Keeps `text` until the next release past the current mark; the view stays
// valid until then.
std::string_view make_temp_string(std::string text);

// The mark taken when the routine starts.
std::size_t temp_string_mark();

// Frees every temporary text made since `mark`.
void release_temp_strings(std::size_t mark);

std::size_t live_temp_strings();

// Fixed texts of the platform, made once.
inline constexpr std::string_view empty_text{};
inline constexpr std::string_view one_blank_text{" "};

} // namespace platform
