// Whole-number arguments: a value passed where the runtime needs a whole
// number. A text row or column and a viewport corner take the nearest
// integer, ties to even, of the expression's extended-precision value; a line
// end point takes its Single rounded to the nearest integer, ties to even.
#pragma once

#include <cmath>
#include <cstdint>
#include <limits>

namespace platform {

// A value that is not a number or lies outside the 32-bit range gives
// -2147483648, which every operation refuses as out of range.
inline std::int32_t integer_argument(long double value) {
    const long double rounded = std::nearbyint(value);
    if (!(rounded >= static_cast<long double>(std::numeric_limits<std::int32_t>::min()) &&
          rounded <= static_cast<long double>(std::numeric_limits<std::int32_t>::max()))) {
        return std::numeric_limits<std::int32_t>::min();
    }
    return static_cast<std::int32_t>(rounded);
}

// What a line end point that is not a number, infinite or beyond the 32-bit
// range converts to, whatever its sign.
inline constexpr std::int32_t off_range_coordinate = std::numeric_limits<std::int32_t>::min();

// A line coordinate as a whole pixel: the nearest integer, ties to the even
// one; off_range_coordinate for NaN, infinities and values outside int32.
std::int32_t line_coordinate_to_int(float value);

} // namespace platform
