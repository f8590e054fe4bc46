// The value of an accepted number text as a Single.
//
// Decimal forms go through std::from_chars, which reads the same numbers as
// the "%f" conversion of the C library but ignores the process locale: a
// comma locale must not turn "1.5" into 1. It rounds correctly, and a decimal
// that lies exactly halfway between two Singles goes to the one whose last
// mantissa bit is 0 (ties to even), the same rule as every other rounding of
// this program.
#include "platform/entry/decimal_conversion.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <system_error>

#include "platform/entry/number_syntax.h"

namespace platform {

namespace {

constexpr int exponent_saturation = 1'000'000;

bool is_digit(char c) { return c >= '0' && c <= '9'; }

// The m of 0.d... x 10^m for a decimal number with at least one non-zero
// digit: whether a value out of the Single's range is too large (m > 0) or
// too small.
int decimal_scale(std::string_view number) {
    std::size_t pos = 0;
    if (pos < number.size() && number[pos] == '-') ++pos;
    while (pos < number.size() && number[pos] == '0') ++pos;
    int integer_digits = 0;
    while (pos < number.size() && is_digit(number[pos])) {
        ++integer_digits;
        ++pos;
    }
    int leading_zeros = 0;
    if (pos < number.size() && number[pos] == '.') {
        ++pos;
        if (integer_digits == 0) {
            while (pos < number.size() && number[pos] == '0') {
                ++leading_zeros;
                ++pos;
            }
        }
        while (pos < number.size() && is_digit(number[pos])) ++pos;
    }
    int exponent = 0;
    if (pos < number.size() && (number[pos] == 'E' || number[pos] == 'e')) {
        ++pos;
        bool negative = false;
        if (pos < number.size() && (number[pos] == '-' || number[pos] == '+')) negative = number[pos++] == '-';
        while (pos < number.size() && is_digit(number[pos])) {
            exponent = std::min(exponent * 10 + (number[pos] - '0'), exponent_saturation);
            ++pos;
        }
        if (negative) exponent = -exponent;
    }
    return integer_digits > 0 ? integer_digits + exponent : exponent - leading_zeros;
}

} // namespace

float single_from_unsigned(std::uint64_t value) {
    // The conversion rounds to nearest, ties to even, in the default
    // rounding mode that the program never changes.
    return static_cast<float>(value);
}

std::optional<float> decimal_text_to_single(std::string_view text) {
    const char* first = text.data();
    const char* last = first + text.size();
    float value = 0.0f;
    const std::from_chars_result read = std::from_chars(first, last, value, std::chars_format::general);
    if (read.ec == std::errc::invalid_argument) return std::nullopt;
    if (read.ec == std::errc::result_out_of_range) {
        // from_chars leaves the value alone here; the C conversion gives the
        // infinity or the zero of the text's sign.
        const std::string_view number(first, static_cast<std::size_t>(read.ptr - first));
        const bool too_large = decimal_scale(number) > 0;
        value = too_large ? std::numeric_limits<float>::infinity() : 0.0f;
        if (!number.empty() && number[0] == '-') value = -value;
    }
    return value;
}

float number_text_value(std::string_view number_text) {
    if (number_text.empty() || number_text == "-" || number_text == "0" || number_text == "-0") return 0.0f;
    const radix_prefix prefix = parse_radix_prefix(number_text);
    if (prefix.form != radix_form::none) return single_from_unsigned(prefix.value);
    return decimal_text_to_single(number_text).value_or(0.0f);
}

} // namespace platform
