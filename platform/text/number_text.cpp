// Number text of a Single: exact decimal rounding to 7 significant digits in
// integer arithmetic, then the fixed or exponent layout.
#include "platform/text/number_text.h"

#include <array>
#include <bit>
#include <cstdint>

namespace platform {
namespace {

using uint128 = unsigned __int128;

constexpr int kept_digits = 7;
constexpr std::uint64_t lowest_kept = 1'000'000;   // 10^6: d1 = 1, the rest 0
constexpr std::uint64_t beyond_kept = 10'000'000;  // 10^7: one digit too many

// A finite Single is significand * 2^exponent exactly.
struct binary_value {
    std::uint32_t significand;
    int exponent;
};

template <std::size_t count>
constexpr std::array<uint128, count> powers_of(std::uint64_t base) {
    std::array<uint128, count> powers{};
    uint128 power = 1;
    for (auto& p : powers) {
        p = power;
        power *= base;
    }
    return powers;
}

// A Single lies below 2^128, so dividing by 10^(e-6) needs at most 10^32; and
// above 10^-46, so scaling up needs at most 10^52 = 5^52 * 2^52 (the 2s are
// taken by the shift). Both tables leave room for one step of slack.
constexpr auto powers_of_ten = powers_of<39>(10);
constexpr auto powers_of_five = powers_of<56>(5);

// What was cut off below the whole part of a scaled value, measured against
// half a unit of the last kept digit.
enum class cut_off { nothing, below_half, exactly_half, above_half };

// The value divided by 10^(e-6): its whole part (below 10^8 for any e that
// is at most one too small) and the part cut off.
struct scaled_value {
    std::uint64_t whole;
    cut_off rest;
};

cut_off compare_with_half(uint128 remainder, uint128 divisor) {
    if (remainder == 0) {
        return cut_off::nothing;
    }
    const uint128 twice = remainder * 2;  // remainder < 2^107: no overflow
    if (twice < divisor) {
        return cut_off::below_half;
    }
    return twice == divisor ? cut_off::exactly_half : cut_off::above_half;
}

// A 192-bit unsigned integer as three 64-bit limbs, lowest first: the
// product of a significand (below 2^24) and a power of five (below 2^128).
struct wide_product {
    std::array<std::uint64_t, 3> limbs;

    static wide_product of(std::uint32_t factor, uint128 power) {
        const uint128 low = static_cast<uint128>(static_cast<std::uint64_t>(power)) * factor;
        const uint128 high = static_cast<uint128>(static_cast<std::uint64_t>(power >> 64)) * factor + (low >> 64);
        return {{static_cast<std::uint64_t>(low), static_cast<std::uint64_t>(high),
                 static_cast<std::uint64_t>(high >> 64)}};
    }

    bool bit(int index) const {
        return (limbs[index / 64] >> (index % 64)) & 1;
    }

    bool any_bit_below(int index) const {
        for (int limb = 0; limb < index / 64; ++limb) {
            if (limbs[limb] != 0) {
                return true;
            }
        }
        const int bits = index % 64;
        return bits != 0 && (limbs[index / 64] & ((std::uint64_t{1} << bits) - 1)) != 0;
    }

    // The low 64 bits of the product shifted right by 0 < shift < 192.
    std::uint64_t shifted_right(int shift) const {
        const int limb = shift / 64;
        const int bits = shift % 64;
        std::uint64_t result = limbs[limb] >> bits;
        if (bits != 0 && limb + 1 < 3) {
            result |= limbs[limb + 1] << (64 - bits);
        }
        return result;
    }

    // The bits shifted out by shift_right(shift), against half of 2^shift.
    cut_off shifted_out(int shift) const {
        const bool below_half_bits = any_bit_below(shift - 1);
        if (!bit(shift - 1)) {
            return below_half_bits ? cut_off::below_half : cut_off::nothing;
        }
        return below_half_bits ? cut_off::above_half : cut_off::exactly_half;
    }
};

// The exact value divided by 10^(decimal_exponent - 6).
scaled_value scale(binary_value value, int decimal_exponent) {
    const int shift_of_ten = decimal_exponent - (kept_digits - 1);
    if (value.exponent >= 0) {
        // A whole number below 2^128.
        const uint128 whole = static_cast<uint128>(value.significand) << value.exponent;
        if (shift_of_ten <= 0) {
            return {static_cast<std::uint64_t>(whole * powers_of_ten[-shift_of_ten]), cut_off::nothing};
        }
        const uint128 divisor = powers_of_ten[shift_of_ten];
        return {static_cast<std::uint64_t>(whole / divisor), compare_with_half(whole % divisor, divisor)};
    }
    // significand * 2^exponent * 10^-shift_of_ten
    //   = (significand * 5^-shift_of_ten) * 2^(exponent - shift_of_ten);
    // a value below 2^23 never needs a shift_of_ten above zero.
    const int five_power = -shift_of_ten;
    const wide_product product = wide_product::of(value.significand, powers_of_five[five_power]);
    const int binary_shift = value.exponent + five_power;
    if (binary_shift >= 0) {
        // Small enough to fit: the scaled value is below 10^8.
        return {product.limbs[0] << binary_shift, cut_off::nothing};
    }
    return {product.shifted_right(-binary_shift), product.shifted_out(-binary_shift)};
}

// The decimal exponent of the largest power of ten not above 2^binary_log:
// floor(binary_log * log10(2)), with the factor 78913 / 2^18 (exact enough
// for every exponent of a Single).
int decimal_exponent_estimate(int binary_log) {
    return (binary_log * 78913) >> 18;
}

// The rounded value: d1..d7 as one number from 10^6 to 10^7 - 1, times
// 10^(exponent - 6).
struct decimal_value {
    std::uint64_t digits;
    int exponent;
};

// Rounds a non-zero value to 7 significant digits. A value exactly half-way
// between two 7-digit decimals goes to the even one, so a tie such as
// 12345665 gives 1234566 and 1000000.5 gives 1000000; a value that rounds up
// to the next power of ten takes that power's exponent.
decimal_value round_to_kept_digits(binary_value value) {
    const int binary_log = std::bit_width(value.significand) - 1 + value.exponent;
    // The estimate is the exponent of 10^e <= 2^binary_log <= value, so the
    // true exponent is the estimate or one more.
    int exponent = decimal_exponent_estimate(binary_log);
    scaled_value scaled = scale(value, exponent);
    while (scaled.whole >= beyond_kept) {
        ++exponent;
        scaled = scale(value, exponent);
    }
    const bool round_up = scaled.rest == cut_off::above_half ||
                          (scaled.rest == cut_off::exactly_half && (scaled.whole & 1) != 0);
    std::uint64_t digits = scaled.whole + (round_up ? 1 : 0);
    if (digits == beyond_kept) {
        digits = lowest_kept;
        ++exponent;
    }
    return {digits, exponent};
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
    const std::uint32_t biased_exponent = (bits >> 23) & 0xFF;
    const std::uint32_t fraction = bits & 0x7FFFFF;

    if (biased_exponent == 0xFF) {
        if (fraction != 0) {
            return " NAN";
        }
        return negative ? "-INF" : " INF";
    }
    if (biased_exponent == 0 && fraction == 0) {
        return " 0";
    }
    // Subnormals have no hidden bit and the exponent of the smallest normal.
    const binary_value exact = biased_exponent == 0
                                   ? binary_value{fraction, -149}
                                   : binary_value{fraction | 0x800000, static_cast<int>(biased_exponent) - 150};

    const decimal_value rounded = round_to_kept_digits(exact);
    char digits[kept_digits];
    std::uint64_t rest = rounded.digits;
    for (int i = kept_digits - 1; i >= 0; --i) {
        digits[i] = static_cast<char>('0' + rest % 10);
        rest /= 10;
    }
    int significant = kept_digits;
    while (digits[significant - 1] == '0') {
        --significant;  // d1 is never 0, so this stops at 1
    }

    std::string text(1, negative ? '-' : ' ');
    append_digits(text, digits, significant, rounded.exponent);
    return text;
}

} // namespace platform
