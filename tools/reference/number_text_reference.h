// Reference number text for checking single_to_string: the C library's
// correctly rounded "%.6E" of the exact value (a float widens to double
// exactly; in the default rounding mode an exact tie goes to the even digit),
// laid out by the notation rules digit place by digit place. Shared by the
// unit tests and the exhaustive sweep tool.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

namespace testing_support {

inline std::string reference_number_text(float value) {
    char printed[64];
    std::snprintf(printed, sizeof printed, "%.6E", static_cast<double>(value));
    const std::string_view text(printed);
    if (text.find("NAN") != std::string_view::npos) {
        return " NAN";
    }
    const bool minus = text.front() == '-';
    if (text.find("INF") != std::string_view::npos) {
        return minus ? "-INF" : " INF";
    }

    // Every digit before the E, whatever character the locale uses as the point.
    const std::size_t e_at = text.find('E');
    std::string digits;
    for (std::size_t i = 0; i < e_at; ++i) {
        if (text[i] >= '0' && text[i] <= '9') {
            digits += text[i];
        }
    }
    const int exponent = std::atoi(printed + e_at + 1); // "+07", "-45"
    if (digits.find_first_not_of('0') == std::string::npos) {
        return " 0";
    }
    digits.erase(digits.find_last_not_of('0') + 1);
    const int count = static_cast<int>(digits.size());
    const std::string sign(1, minus ? '-' : ' ');

    // The place (power of ten) of the last significant digit.
    const int last_place = exponent - count + 1;
    if (exponent <= 6 && last_place >= -7) {
        // Every place from the higher of the first digit and the units down to
        // the lower of the last digit and the units, with the point after the
        // units when something follows it.
        std::string body;
        const int top = exponent > 0 ? exponent : 0;
        const int bottom = last_place < 0 ? last_place : 0;
        for (int place = top; place >= bottom; --place) {
            const int index = exponent - place;
            body += index >= 0 && index < count ? digits[index] : '0';
            if (place == 0 && bottom < 0) {
                body += '.';
            }
        }
        if (exponent < 0) {
            body.erase(0, 1); // the zero before the point is left out
        }
        return sign + body;
    }

    std::string body(1, digits[0]);
    if (count > 1) {
        body += '.';
        body += digits.substr(1);
    }
    char exponent_text[16];
    std::snprintf(exponent_text, sizeof exponent_text, "E%c%02d", exponent < 0 ? '-' : '+',
                  exponent < 0 ? -exponent : exponent);
    return sign + body + exponent_text;
}

} // namespace testing_support
