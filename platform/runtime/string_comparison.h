// The comparisons of two texts with which a key read is tested for being empty.
#pragma once

#include <cstdint>
#include <string_view>

namespace platform {

// -1 when both texts have the same length and bytes, 0 when not.
std::int32_t strings_equal(std::string_view a, std::string_view b);

// -1 when the lengths or the bytes differ, 0 when not.
std::int32_t strings_differ(std::string_view a, std::string_view b);

} // namespace platform
