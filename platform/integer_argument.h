// Conversion of a value passed where the runtime needs a whole number (a text
// row or column, a viewport corner): the nearest integer, ties to even, of the
// extended-precision value.
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

} // namespace platform
