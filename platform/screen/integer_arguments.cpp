#include "platform/screen/integer_arguments.h"

namespace platform {

std::int32_t line_coordinate_to_int(float value) {
    // Also false for NaN. -2^31 itself lands on off_range_coordinate anyway.
    if (!(std::fabs(value) < 2147483648.0f)) return off_range_coordinate;
    // value - whole is exact, so the tie is seen exactly, whatever the
    // rounding mode of the unit.
    const float whole = std::trunc(value);
    const float fraction = value - whole;
    std::int64_t n = static_cast<std::int64_t>(whole);
    if (fraction > 0.5f || (fraction == 0.5f && (n & 1) != 0)) ++n;
    if (fraction < -0.5f || (fraction == -0.5f && (n & 1) != 0)) --n;
    return static_cast<std::int32_t>(n);
}

} // namespace platform
