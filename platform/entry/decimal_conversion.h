// The value of an accepted number text as a Single: prefix forms through
// their unsigned 64-bit digits, decimal forms through a correctly rounded
// conversion that does not depend on the process locale. Both start from the
// measure that the entry's test took of the text.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "platform/entry/number_syntax.h"

namespace platform {

// The nearest Single to an unsigned 64-bit number, ties to even.
float single_from_unsigned(std::uint64_t value);

// Reads a decimal number text of the measured shape as the "%f" conversion
// of the C library reads it: the longest beginning of the text that is a
// complete decimal number (an exponent letter without digits is left
// unread), rounded to the nearest Single. Empty when the text begins with no
// such number (a point alone, say). Beyond the largest Single the value is an
// infinity, below half the smallest one a zero, each with the sign of the
// text.
std::optional<float> decimal_text_to_single(std::string_view number_text, const decimal_measure& measure);

// The value that a number text which passed the entry's test stores: +0 for
// the empty text, a lone minus sign, 0 and -0; the digits of a prefix form;
// otherwise the decimal conversion, +0 when it reads nothing.
float number_text_value(std::string_view number_text, const number_measure& measure);

} // namespace platform
