// Number text of a Single: the texts of known values, ties, carries into the
// next power of ten, infinities and NaN, the process locale, and a sample of
// bit patterns against the reference formatter.
#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <clocale>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <string>
#include <vector>

#include "number_text_reference.h"
#include "platform/text/number_text.h"

using platform::single_to_string;
using testing_support::reference_number_text;

namespace {

struct text_case {
    float value;
    const char* text;
    std::size_t characters;
};

// Values as the routine holds them (a literal is rounded to a Single first).
const std::vector<text_case> known_texts = {
    {0.0f, " 0", 2},
    {-0.0f, " 0", 2},
    {4.0f, " 4", 2},
    {-3.0f, "-3", 2},
    {21.0f, " 21", 3},
    {0.5f, " .5", 3},
    {-0.5f, "-.5", 3},
    {6.5f, " 6.5", 4},
    {0.1f, " .1", 3},
    {0.01f, " .01", 4},
    {1.0f / 3.0f, " .3333333", 9},
    {500.0f / 21.0f, " 23.80952", 9},
    {1000.0f, " 1000", 5},
    {172961.0f, " 172961", 7},
    {1234567.0f, " 1234567", 8},
    {1000000.25f, " 1000000", 8},
    {10000000.0f, " 1E+07", 6},
    {12345678.0f, " 1.234568E+07", 13},
    {16777216.0f, " 1.677722E+07", 13},
    {0.1234567f, " .1234567", 9},
    {0.01234567f, " 1.234567E-02", 13},
    {1E-7f, " .0000001", 9},
    {1.5E-5f, " .000015", 8},
    {1.5E-7f, " 1.5E-07", 8},
    {1E-8f, " 1E-08", 6},
    {0.0009765625f, " 9.765625E-04", 13},
    {0.99999994f, " .9999999", 9},
    {std::numeric_limits<float>::max(), " 3.402823E+38", 13},
    {std::numeric_limits<float>::denorm_min(), " 1.401298E-45", 13},
    {-1234.5f, "-1234.5", 7},
    {-0.000123f, "-.000123", 8},
};

void expect_texts(const std::vector<text_case>& cases, std::string (*format)(float)) {
    for (const text_case& c : cases) {
        const std::string text = format(c.value);
        EXPECT_EQ(text, c.text) << "value " << std::hexfloat << c.value;
        EXPECT_EQ(text.size(), c.characters) << "text \"" << c.text << "\"";
    }
}

float from_bits(std::uint32_t bits) { return std::bit_cast<float>(bits); }

} // namespace

TEST(NumberText, KnownValuesGiveTheirTexts) {
    expect_texts(known_texts, single_to_string);
    ASSERT_EQ(0.99999994f, std::nextafter(1.0f, 0.0f));
    ASSERT_EQ(0.0009765625f, std::ldexp(1.0f, -10));
}

TEST(NumberText, ExactTiesGoToTheEvenNeighbourInBothNotations) {
    // Each value is a Single whose exact decimal has 8 significant digits, the
    // 8th a 5.
    expect_texts(
        {
            {1.0078125f, " 1.007812", 9}, // 1 + 1/128: ...2|5 stays
            {1.0234375f, " 1.023438", 9}, // 1 + 3/128: ...7|5 goes up
            {-1.0078125f, "-1.007812", 9},
            {-1.0234375f, "-1.023438", 9},
            {100000.25f, " 100000.2", 9},
            {100000.75f, " 100000.8", 9},
            {1000000.5f, " 1000000", 8},
            {1000001.5f, " 1000002", 8},
            {8388607.5f, " 8388608", 8}, // largest Single with a half
            {12345665.0f, " 1.234566E+07", 13},
            {12345675.0f, " 1.234568E+07", 13},
            {-12345665.0f, "-1.234566E+07", 13},
            {0.0029296875f, " 2.929688E-03", 13},  // 3/1024
            {0.00048828125f, " 4.882812E-04", 13}, // 1/2048
        },
        single_to_string);
}

TEST(NumberText, RoundingUpCarriesIntoTheNextDigitAndPowerOfTen) {
    expect_texts(
        {
            {std::nextafter(3.0f, 0.0f), " 3", 2}, // 2.99999976
            {std::nextafter(-3.0f, 0.0f), "-3", 2},
            {999999.94f, " 999999.9", 9}, // 999999.9375: no carry
            {0.00001f, " .00001", 7},     // 9.99999975E-6
            {0.0001f, " .0001", 6},       // 9.99999975E-5
            {0.000001f, " .000001", 8},   // 9.99999997E-7
            {1E11f, " 1E+11", 6},         // 99999997952
            {1E12f, " 1E+12", 6},         // 999999995904
            {1E-20f, " 1E-20", 6},        // 9.99999968E-21
            {1E38f, " 1E+38", 6},         // 9.99999968E+37
            {9999999.5f, " 1E+07", 6},    // is 10000000 as a Single
            {9999999.0f, " 9999999", 8},
            {1E-40f, " 9.999946E-41", 13}, // subnormal, 9.99994610E-41
        },
        single_to_string);
}

TEST(NumberText, InfinitiesAndEveryNaN) {
    const float infinity = std::numeric_limits<float>::infinity();
    EXPECT_EQ(single_to_string(infinity), " INF");
    EXPECT_EQ(single_to_string(-infinity), "-INF");
    // Quiet and signalling, either sign, any payload.
    for (const std::uint32_t bits : {0x7FC00000u, 0xFFC00000u, 0x7F800001u, 0xFF800001u, 0x7FFFFFFFu, 0xFFFFFFFFu}) {
        EXPECT_EQ(single_to_string(from_bits(bits)), " NAN") << std::hex << bits;
    }
}

TEST(NumberText, CommaLocaleChangesNoText) {
    const std::string saved = std::setlocale(LC_ALL, nullptr);
    const char* comma_locale = nullptr;
    for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "de_DE", "fr_FR.UTF-8", "fr_FR.utf8", "nl_NL.UTF-8",
                             "ru_RU.UTF-8", "es_ES.UTF-8", "it_IT.UTF-8"}) {
        if (std::setlocale(LC_ALL, name) != nullptr && std::localeconv()->decimal_point[0] == ',') {
            comma_locale = name;
            break;
        }
    }
    if (comma_locale == nullptr) {
        std::setlocale(LC_ALL, saved.c_str());
        GTEST_SKIP() << "no locale with a decimal comma is installed";
    }
    // The C library itself now writes the comma.
    char printed[16];
    std::snprintf(printed, sizeof printed, "%.1f", 0.5);
    EXPECT_STREQ(printed, "0,5") << comma_locale;

    expect_texts(known_texts, single_to_string);
    for (const float value : {1.0078125f, 12345665.0f, 0.01f, -1234.5f}) {
        EXPECT_EQ(single_to_string(value), reference_number_text(value)) << comma_locale;
    }
    std::setlocale(LC_ALL, saved.c_str());
}

namespace {

constexpr std::uint64_t pattern_count = std::uint64_t{1} << 32;

// Bit patterns for the sample (about 2.4 million): an even stride over all
// patterns, the neighbourhoods of every power of ten, the ends of the ranges,
// and exact ties with their neighbours.
class pattern_sample {
public:
    pattern_sample() {
        add_stride();
        add_powers_of_ten();
        add_range_ends();
        add_ties();
    }

    const std::vector<std::uint32_t>& patterns() const { return patterns_; }

private:
    static constexpr std::uint64_t stride = 4093; // a prime: every low-bit pattern comes up
    static constexpr int power_neighbourhood = 512;
    static constexpr int end_span = 8192;
    static constexpr int tie_step_from_10000 = 64;

    void add(std::uint32_t bits) {
        patterns_.push_back(bits);
        patterns_.push_back(bits ^ 0x80000000u);
    }

    void add_around(std::uint32_t centre, int span) {
        const std::int64_t low = std::max<std::int64_t>(0, std::int64_t{centre} - span);
        const std::int64_t high = std::min<std::int64_t>(0x7FFFFFFF, std::int64_t{centre} + span);
        for (std::int64_t bits = low; bits <= high; ++bits) {
            add(static_cast<std::uint32_t>(bits));
        }
    }

    void add_stride() {
        for (std::uint64_t bits = 0; bits < pattern_count; bits += stride) {
            patterns_.push_back(static_cast<std::uint32_t>(bits));
        }
    }

    void add_powers_of_ten() {
        for (int power = -45; power <= 38; ++power) {
            const std::string literal = "1E" + std::to_string(power);
            add_around(std::bit_cast<std::uint32_t>(std::strtof(literal.c_str(), nullptr)), power_neighbourhood);
        }
    }

    void add_range_ends() {
        add_around(0, end_span);          // zero and the smallest subnormals
        add_around(0x00800000, end_span); // subnormal to normal
        add_around(0x4B800000, end_span); // 2^24, where whole numbers get gaps
        add_around(0x7F7FFFFF, end_span); // the largest Singles, infinity, NaNs
        add_around(0x7FFFFFFF, end_span);
    }

    // An exact tie has 8 significant digits, the last a 5. With decimal
    // exponent e up to 6 it is an odd multiple of 2^(e-7) from 10^e to 10^(e+1);
    // with e = 7 a whole number from 10000005 to 16777215 ending in 5. Below
    // 10^4 all are taken, above it every 64th.
    void add_ties() {
        for (int exponent = -5; exponent <= 6; ++exponent) {
            const double unit = std::ldexp(1.0, exponent - 7);
            const double low = std::pow(10.0, exponent);
            const double high = low * 10;
            const int step = exponent >= 4 ? tie_step_from_10000 : 1;
            for (std::uint64_t odd = static_cast<std::uint64_t>(std::ceil(low / unit)) | 1;
                 static_cast<double>(odd) * unit < high && odd < (1u << 24); odd += 2 * step) {
                add_tie(static_cast<float>(static_cast<double>(odd) * unit));
            }
        }
        for (std::uint32_t whole = 10000005; whole < (1u << 24); whole += 10 * tie_step_from_10000) {
            add_tie(static_cast<float>(whole));
        }
    }

    // The tie with both signs, and its two neighbours, just below and just
    // above half-way.
    void add_tie(float tie) {
        const std::uint32_t bits = std::bit_cast<std::uint32_t>(tie);
        add(bits);
        patterns_.push_back(bits - 1);
        patterns_.push_back(bits + 1);
    }

    std::vector<std::uint32_t> patterns_;
};

} // namespace

TEST(NumberTextReference, AgreesWithTheKnownTexts) { expect_texts(known_texts, reference_number_text); }

TEST(NumberTextReference, SampleOfPatternsMatchesTheReference) {
    const pattern_sample sample;
    int differences = 0;
    for (const std::uint32_t bits : sample.patterns()) {
        const float value = from_bits(bits);
        const std::string got = single_to_string(value);
        const std::string expected = reference_number_text(value);
        if (got != expected && ++differences <= 20) {
            ADD_FAILURE() << "pattern 0x" << std::hex << bits << ": got \"" << got << "\", expected \"" << expected
                          << "\"";
        }
    }
    EXPECT_EQ(differences, 0) << "of " << sample.patterns().size() << " patterns";
}
