// Number text of a Single: the seven correctly rounded significant digits
// from std::to_chars, then the fixed or exponent layout.
#include "platform/text/number_text.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <cstdint>

namespace platform {
namespace {

constexpr int kept_digits = 7;

// The rounded value as d1.d2..d7 * 10^exponent, d1 never '0'.
struct decimal_value {
    char digits[kept_digits];
    int exponent;
};

// Rounds a positive finite value to 7 significant digits. std::to_chars
// rounds the exact binary value, an exact tie to the even digit (12345665
// gives 1234566, 1000000.5 gives 1000000), in integer arithmetic: neither
// the process locale nor the floating-point rounding mode plays a part. A
// value that rounds up to the next power of ten comes with that power's
// exponent.
decimal_value round_to_kept_digits(float magnitude) {
    // "d.dddddde+XX": d1, the point, d2..d7, the letter, the exponent's sign
    // and at least two digits.
    char printed[24];
    const std::to_chars_result end =
        std::to_chars(printed, printed + sizeof printed, magnitude, std::chars_format::scientific, kept_digits - 1);
    decimal_value rounded{};
    rounded.digits[0] = printed[0];
    std::copy(printed + 2, printed + kept_digits + 1, rounded.digits + 1);
    const char* exponent_at = printed + kept_digits + 2;
    if (*exponent_at == '+') {
        ++exponent_at; // from_chars reads a minus sign but no plus
    }
    std::from_chars(exponent_at, end.ptr, rounded.exponent);
    return rounded;
}

void append_exponent(std::string& text, int exponent) {
    text += 'E';
    text += exponent < 0 ? '-' : '+';
    const int magnitude = exponent < 0 ? -exponent : exponent;
    text += static_cast<char>('0' + magnitude / 10);
    text += static_cast<char>('0' + magnitude % 10);
}

// Lays out the kept digits d1..ds (s = significant) of d1.d2..ds * 10^exponent.
void append_digits(std::string& text, const char* digits, int significant, int exponent) {
    const bool fixed = exponent <= kept_digits - 1 && exponent - significant >= -(kept_digits + 1);
    if (!fixed) {
        text += digits[0];
        if (significant > 1) {
            text += '.';
            text.append(digits + 1, significant - 1);
        }
        append_exponent(text, exponent);
        return;
    }
    if (exponent < 0) {
        // No zero before the point.
        text += '.';
        text.append(-exponent - 1, '0');
        text.append(digits, significant);
        return;
    }
    const int before_point = exponent + 1;
    if (significant <= before_point) {
        text.append(digits, significant);
        text.append(before_point - significant, '0');
        return;
    }
    text.append(digits, before_point);
    text += '.';
    text.append(digits + before_point, significant - before_point);
}

} // namespace

std::string single_to_string(float value) {
    const std::uint32_t bits = std::bit_cast<std::uint32_t>(value);
    const bool negative = (bits >> 31) != 0;
    const std::uint32_t magnitude_bits = bits & 0x7FFFFFFF;

    if (magnitude_bits >= 0x7F800000) {
        if (magnitude_bits != 0x7F800000) {
            return " NAN";
        }
        return negative ? "-INF" : " INF";
    }
    if (magnitude_bits == 0) {
        return " 0";
    }

    const decimal_value rounded = round_to_kept_digits(std::bit_cast<float>(magnitude_bits));
    int significant = kept_digits;
    while (rounded.digits[significant - 1] == '0') {
        --significant; // d1 is never 0, so this stops at 1
    }

    std::string text(1, negative ? '-' : ' ');
    append_digits(text, rounded.digits, significant, rounded.exponent);
    return text;
}

} // namespace platform
