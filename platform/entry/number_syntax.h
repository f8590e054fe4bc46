// The test of an entry text: which texts are, or can still become, a valid
// single-precision number. The line entry tests the whole text after every
// key and keeps a key only when the text still passes.
//
// An entry text may be wrapped in double quotes; what lies between them is
// the number text. A number text beginning with an ampersand is a prefix form
// (&H hexadecimal, &O octal); every other one is a decimal form, whose digits
// are then measured against the range of a Single.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace platform {

// The number text of an entry text: the bytes outside the double quotes that
// open and close a quoted entry. Empty when the text is refused before its
// number is looked at (a byte after the closing quote, a comma outside the
// quotes).
std::optional<std::string> number_text_of(std::string_view entry_text);

enum class radix_form : int {
    none = 0,        // not a prefix form
    hexadecimal = 1, // &H..., and also the empty text and a lone ampersand
    octal = 2,       // &O...
};

struct radix_prefix {
    radix_form form = radix_form::none;
    std::uint64_t value = 0; // the digits read, 0 when there are none
    bool accepted = false;   // the text is a prefix form that may stand
};

// Reads a prefix form: an ampersand, H or O (either case), then at most 16
// hexadecimal or 22 octal digits that fit 64 bits.
radix_prefix parse_radix_prefix(std::string_view number_text);

// A decimal number text taken apart: its sign and the counts that its range
// is judged by. The conversion to a Single reads the sign and the scale too.
struct decimal_measure {
    bool negative = false;   // a minus sign leads
    int integer_digits = 0;  // i: 0 for a single 0 or no integer part
    int fraction_digits = 0; // f
    int leading_zeros = 0;   // z: fraction digits before the first non-zero one
    int exponent = 0;        // e
    std::string significant; // s: the digits of 0.s x 10^m
    int scale = 0;           // m
};

// The shape of a decimal number text: an optional minus sign, the integer
// part, a point and fraction, an exponent letter with its sign and digits.
// Empty when a byte does not belong to that shape.
std::optional<decimal_measure> measure_decimal(std::string_view number_text);

// Whether a decimal number of this shape lies within the range of a Single
// and within the digits that the entry admits.
bool decimal_within_limits(const decimal_measure& measure);

// A number text that passes, taken apart once: the prefix form with its
// digits, or else (form none) the measure of the decimal form. The value of
// the text is made from these, so nothing is measured a second time.
struct number_measure {
    radix_prefix prefix;
    decimal_measure decimal;
};

// The measure of a number text that passes (a prefix form by its prefix
// rules, a decimal form by its shape and its limits); empty when it does not.
std::optional<number_measure> measure_number_text(std::string_view number_text);

// Whether a number text passes.
bool number_text_passes(std::string_view number_text);

// Whether an entry text passes the whole test.
bool entry_text_passes(std::string_view entry_text);

} // namespace platform
