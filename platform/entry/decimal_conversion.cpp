// The value of an accepted number text as a Single.
//
// Decimal forms go through std::from_chars, which reads the same numbers as
// the "%f" conversion of the C library but ignores the process locale: a
// comma locale must not turn "1.5" into 1. It rounds correctly, and a decimal
// that lies exactly halfway between two Singles goes to the one whose last
// mantissa bit is 0 (ties to even), the same rule as every other rounding of
// this program. What else the value needs (the prefix form and its digits,
// the sign and the scale of a decimal) comes from the entry's measure.
#include "platform/entry/decimal_conversion.h"

#include <charconv>
#include <limits>
#include <system_error>

namespace platform {

float single_from_unsigned(std::uint64_t value) {
    // The conversion rounds to nearest, ties to even, in the default
    // rounding mode that the program never changes.
    return static_cast<float>(value);
}

std::optional<float> decimal_text_to_single(std::string_view number_text, const decimal_measure& measure) {
    const char* first = number_text.data();
    const char* last = first + number_text.size();
    float value = 0.0f;
    const std::from_chars_result read = std::from_chars(first, last, value, std::chars_format::general);
    if (read.ec == std::errc::invalid_argument) return std::nullopt;
    if (read.ec == std::errc::result_out_of_range) {
        // from_chars leaves the value alone here; the C conversion gives the
        // infinity or the zero of the text's sign. A number out of range has
        // a non-zero digit, so its scale m of 0.s x 10^m tells which: above 0
        // it is too large, otherwise too small. (An exponent letter that
        // from_chars leaves unread has no digits and counts as exponent 0.)
        value = measure.scale > 0 ? std::numeric_limits<float>::infinity() : 0.0f;
        if (measure.negative) value = -value;
    }
    return value;
}

float number_text_value(std::string_view number_text, const number_measure& measure) {
    if (number_text.empty() || number_text == "-" || number_text == "0" || number_text == "-0") return 0.0f;
    if (measure.prefix.form != radix_form::none) return single_from_unsigned(measure.prefix.value);
    return decimal_text_to_single(number_text, measure.decimal).value_or(0.0f);
}

} // namespace platform
