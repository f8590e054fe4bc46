// The test of an entry text: quotes and commas, the prefix forms, the shape
// of a decimal number and its limits.
#include "platform/entry/number_syntax.h"

#include <algorithm>
#include <utility>

namespace platform {

namespace {

constexpr char quote = '"';
constexpr char comma = ',';

constexpr int hexadecimal_digit_limit = 16;
// 21 octal digits hold 63 bits; a 22nd fits 64 bits only after a first digit
// of 0 or 1.
constexpr int octal_digit_limit = 21;
constexpr int octal_digit_limit_small_first = 22;

// Fraction zeros before the first significant digit: with 43 of them the
// smallest single (1.4E-45) can still be written.
constexpr int leading_zero_limit = 43;
// Digits that count once a number is written with a fraction.
constexpr int fraction_number_digit_limit = 8;
// The scales of the largest and the smallest positive single, 0.s x 10^m,
// and their first seven significant digits.
constexpr int largest_scale = 39;
constexpr std::string_view largest_digits = "3402823";
constexpr int smallest_scale = -44;
constexpr std::string_view smallest_digits = "1401298";

// Exponents are only ever two digits long in an entry, but a text handed in
// from elsewhere may carry any number; beyond this every limit is decided.
constexpr int exponent_saturation = 1'000'000;

bool is_digit(char c) { return c >= '0' && c <= '9'; }
bool is_octal_digit(char c) { return c >= '0' && c <= '7'; }
bool is_hexadecimal_digit(char c) { return is_digit(c) || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f'); }

std::uint64_t digit_value(char c) {
    if (is_digit(c)) return static_cast<std::uint64_t>(c - '0');
    if (c >= 'A' && c <= 'F') return static_cast<std::uint64_t>(c - 'A' + 10);
    return static_cast<std::uint64_t>(c - 'a' + 10);
}

// Compares the first (up to) seven digits of s with a reference, digit by
// digit: below 0 when s is smaller at the first difference, above 0 when
// larger, 0 when all compared digits are equal.
int compare_leading_digits(std::string_view s, std::string_view reference) {
    const std::size_t count = std::min(s.size(), reference.size());
    for (std::size_t k = 0; k < count; ++k) {
        if (s[k] != reference[k]) return s[k] < reference[k] ? -1 : 1;
    }
    return 0;
}

} // namespace

std::optional<std::string> number_text_of(std::string_view entry_text) {
    std::string number;
    bool quoted = false;
    bool closed = false;
    for (std::size_t k = 0; k < entry_text.size(); ++k) {
        const char c = entry_text[k];
        if (closed) return std::nullopt;
        if (c == quote && k == 0) {
            quoted = true;
            continue;
        }
        if (c == quote && quoted) {
            closed = true;
            continue;
        }
        // With one target a comma would begin a second value; inside the
        // quotes it is an ordinary byte (which no number admits).
        if (c == comma && !quoted) return std::nullopt;
        number.push_back(c);
    }
    return number;
}

radix_prefix parse_radix_prefix(std::string_view number_text) {
    if (number_text.empty()) return {radix_form::hexadecimal, 0, true};
    if (number_text[0] != '&') return {radix_form::none, 0, false};
    if (number_text.size() == 1) return {radix_form::hexadecimal, 0, true};

    const char letter = number_text[1];
    const std::string_view digits = number_text.substr(2);
    radix_prefix result{radix_form::hexadecimal, 0, false};
    if (letter == 'H' || letter == 'h') {
        if (digits.size() > hexadecimal_digit_limit) return result;
        if (!std::all_of(digits.begin(), digits.end(), is_hexadecimal_digit)) return result;
        for (char c : digits) result.value = result.value * 16 + digit_value(c);
    } else if (letter == 'O' || letter == 'o') {
        result.form = radix_form::octal;
        if (!std::all_of(digits.begin(), digits.end(), is_octal_digit)) return result;
        const bool small_first = !digits.empty() && (digits[0] == '0' || digits[0] == '1');
        const std::size_t limit = small_first ? octal_digit_limit_small_first : octal_digit_limit;
        if (digits.size() > limit) return result;
        for (char c : digits) result.value = result.value * 8 + digit_value(c);
    } else {
        return result;
    }
    result.accepted = true;
    return result;
}

std::optional<decimal_measure> measure_decimal(std::string_view t) {
    decimal_measure m;
    const std::size_t n = t.size();
    std::size_t pos = 0;
    bool any_non_zero = false;

    if (pos < n && t[pos] == '-') {
        m.negative = true;
        ++pos;
    }

    // Integer part: a single 0 (ending the text or followed by the point),
    // digits led by 1 to 9, or nothing when the point comes first.
    if (pos == n) return m;
    if (t[pos] == '0') {
        ++pos;
        if (pos < n && t[pos] != '.') return std::nullopt;
    } else if (t[pos] >= '1' && t[pos] <= '9') {
        while (pos < n && is_digit(t[pos])) {
            m.significant.push_back(t[pos]);
            ++m.integer_digits;
            ++pos;
        }
        any_non_zero = true;
    } else if (t[pos] != '.') {
        return std::nullopt;
    }

    // Point and fraction.
    bool has_point = false;
    std::string fraction;
    if (pos < n && t[pos] == '.') {
        has_point = true;
        ++pos;
        while (pos < n && is_digit(t[pos])) fraction.push_back(t[pos++]);
    }
    const std::size_t first_non_zero = fraction.find_first_not_of('0');
    m.fraction_digits = static_cast<int>(fraction.size());
    m.leading_zeros = first_non_zero == std::string::npos ? m.fraction_digits : static_cast<int>(first_non_zero);
    if (first_non_zero != std::string::npos) any_non_zero = true;

    // Exponent: the letter needs a significant digit before it and, after a
    // point, a digit between the point and the letter.
    if (pos < n && (t[pos] == 'E' || t[pos] == 'e')) {
        if (!any_non_zero || (has_point && fraction.empty())) return std::nullopt;
        ++pos;
        bool negative = false;
        if (pos < n && (t[pos] == '-' || t[pos] == '+')) {
            negative = t[pos] == '-';
            ++pos;
        }
        // A first exponent digit 0 may only end the text.
        if (pos < n && t[pos] == '0' && pos + 1 != n) return std::nullopt;
        int magnitude = 0;
        while (pos < n && is_digit(t[pos])) {
            magnitude = std::min(magnitude * 10 + (t[pos] - '0'), exponent_saturation);
            ++pos;
        }
        m.exponent = negative ? -magnitude : magnitude;
    }
    if (pos != n) return std::nullopt;

    // A fraction of one 0 counts as no fraction.
    if (m.fraction_digits == 1 && m.leading_zeros == 1) {
        m.fraction_digits = 0;
        m.leading_zeros = 0;
    }
    if (m.integer_digits > 0) {
        m.significant += fraction;
        m.scale = m.integer_digits + m.exponent;
    } else {
        if (first_non_zero != std::string::npos) m.significant = fraction.substr(first_non_zero);
        m.scale = m.exponent - m.leading_zeros;
    }
    return m;
}

bool decimal_within_limits(const decimal_measure& m) {
    if (m.leading_zeros > leading_zero_limit) return false;
    // Every digit 0: the value is 0, whatever the count.
    if (m.integer_digits == 0 && m.fraction_digits == m.leading_zeros) return true;
    if (m.scale > largest_scale) return false;
    if (m.scale == largest_scale && compare_leading_digits(m.significant, largest_digits) > 0) return false;
    if (m.fraction_digits > 0) {
        const int counted =
            m.integer_digits > 0 ? m.integer_digits + m.fraction_digits : m.fraction_digits - m.leading_zeros;
        if (counted > fraction_number_digit_limit) return false;
    }
    if (m.scale < smallest_scale) return false;
    if (m.scale == smallest_scale && compare_leading_digits(m.significant, smallest_digits) < 0) return false;
    return true;
}

std::optional<number_measure> measure_number_text(std::string_view number_text) {
    number_measure measure;
    if (!number_text.empty() && number_text[0] == '&') {
        measure.prefix = parse_radix_prefix(number_text);
        if (!measure.prefix.accepted) return std::nullopt;
        return measure;
    }
    std::optional<decimal_measure> decimal = measure_decimal(number_text);
    if (!decimal || !decimal_within_limits(*decimal)) return std::nullopt;
    measure.decimal = std::move(*decimal);
    return measure;
}

bool number_text_passes(std::string_view number_text) { return measure_number_text(number_text).has_value(); }

bool entry_text_passes(std::string_view entry_text) {
    const std::optional<std::string> number = number_text_of(entry_text);
    return number && number_text_passes(*number);
}

} // namespace platform
