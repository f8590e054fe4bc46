// The test of an entry text (quotes, commas, prefix forms, the decimal shape
// and its limits) and the value that an accepted text stores.
#include <gtest/gtest.h>

#include <locale.h>
#include <bit>
#include <clocale>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <optional>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "platform/entry/decimal_conversion.h"
#include "platform/entry/number_syntax.h"

using namespace platform;

namespace {

std::uint32_t bits(float v) { return std::bit_cast<std::uint32_t>(v); }

// What the entry stores for a text: measured as the entry's test measures
// it, then converted; +0 for a text that does not pass.
float stored_value(std::string_view number_text) {
    const std::optional<number_measure> measure = measure_number_text(number_text);
    return measure ? number_text_value(number_text, *measure) : 0.0f;
}

struct verdict_case {
    const char* text;
    bool passes;
};

void expect_verdicts(const std::vector<verdict_case>& cases) {
    for (const verdict_case& c : cases) {
        EXPECT_EQ(entry_text_passes(c.text), c.passes) << "text: [" << c.text << "]";
    }
}

std::string repeat(char c, int n) { return std::string(static_cast<std::size_t>(n), c); }

} // namespace

TEST(NumberSyntax, QuotesAndCommas) {
    expect_verdicts({
        {"\"", true}, // a quote alone opens an empty quoted entry
        {"\"\"", true},
        {"\"5\"", true},
        {"\"5\"6", false}, // nothing may follow the closing quote
        {"\"\"5", false},
        {"\"-1.5E3\"", true},
        {"\"&H1F\"", true},
        {"5\"", false}, // a quote that neither opens nor closes
        {"1,5", false}, // a comma would begin a second value
        {",", false},
        {"\"1,5\"", false}, // inside the quotes a comma is no part of a number
        {"\"1,", false},
    });
    EXPECT_EQ(number_text_of("\"7\""), std::optional<std::string>("7"));
    EXPECT_EQ(number_text_of("\"7"), std::optional<std::string>("7"));
    EXPECT_EQ(number_text_of("7\"8"), std::optional<std::string>("7\"8"));
    EXPECT_EQ(number_text_of("\"7\"8"), std::nullopt);
    EXPECT_EQ(number_text_of("7,"), std::nullopt);
}

TEST(NumberSyntax, RadixPrefixRules) {
    expect_verdicts({
        {"&", true},    {"&H", true},    {"&h", true},    {"&O", true},    {"&o", true},
        {"&B", false},  {"&X", false},   {"&1", false},   {"& ", false},   {"&H1F", true},
        {"&hff", true}, {"&HG", false},  {"&H-1", false}, {"&H1.", false}, {"&O17", true},
        {"&O8", false}, {"&O1E", false}, {"&H1 ", false}, {"-&H1", false},
    });
    const std::string sixteen_f = "&H" + repeat('F', 16);
    EXPECT_TRUE(entry_text_passes(sixteen_f));
    EXPECT_FALSE(entry_text_passes(sixteen_f + "F"));
    EXPECT_FALSE(entry_text_passes("&H" + repeat('0', 17))); // the count of digits decides, not the value

    // 21 octal digits always fit; a 22nd only after a first digit of 0 or 1.
    EXPECT_TRUE(entry_text_passes("&O" + repeat('7', 21)));
    EXPECT_FALSE(entry_text_passes("&O" + repeat('7', 22)));
    EXPECT_TRUE(entry_text_passes("&O1" + repeat('7', 21)));
    EXPECT_TRUE(entry_text_passes("&O0" + repeat('7', 21)));
    EXPECT_FALSE(entry_text_passes("&O2" + repeat('7', 21)));
    EXPECT_FALSE(entry_text_passes("&O1" + repeat('7', 22)));

    EXPECT_EQ(parse_radix_prefix("").form, radix_form::hexadecimal);
    EXPECT_EQ(parse_radix_prefix("&").form, radix_form::hexadecimal);
    EXPECT_EQ(parse_radix_prefix("12").form, radix_form::none);
    EXPECT_EQ(parse_radix_prefix("&o17").form, radix_form::octal);
    EXPECT_EQ(parse_radix_prefix("&o17").value, 15u);
    EXPECT_EQ(parse_radix_prefix("&HfF").value, 255u);
    EXPECT_EQ(parse_radix_prefix(sixteen_f).value, std::numeric_limits<std::uint64_t>::max());
    EXPECT_EQ(parse_radix_prefix("&O1" + repeat('7', 21)).value, std::numeric_limits<std::uint64_t>::max());
}

TEST(NumberSyntax, DecimalShape) {
    expect_verdicts({
        {"", true},      {"-", true},      {"+", false},     {"+1", false},   {"--", false},    {"1-", false},
        {"0", true},     {"00", false},    {"05", false},    {"0E5", false},  {"0.", true},     {"-0", true},
        {"-0.", true},   {".", true},      {"-.", true},     {".5", true},    {"1.5", true},    {"1.5.", false},
        {"..", false},   {"1E", true},     {"1e", true},     {"1E-", true},   {"1E+", true},    {"1E5", true},
        {"1e-3", true},  {"1D2", false},   {"1d", false},    {"E5", false},   {"-E", false},    {".E5", false},
        {"1.E5", false}, {"0.0E5", false}, {"0.05E2", true}, {".5E3", true},  {"1.0E5", true},  {"10E5", true},
        {"1E0", true},   {"1E-0", true},   {"1E00", false},  {"1E05", false}, {"1E-05", false}, {"1E+-", false},
        {"1E5E", false}, {"1E5.", false},  {" 1", false},    {"1 ", false},   {"1x", false},    {"inf", false},
        {"nan", false},  {"0x1", false},
    });
}

TEST(NumberSyntax, DecimalLimits) {
    expect_verdicts({
        // The largest single, 3.402823E38, and one step of the seventh digit beyond.
        {"3.402823E38", true},
        {"3.402824E38", false},
        {"3.4028236E38", true},
        {"3.5E38", false},
        {"3.4E38", true},
        {"34E37", true},
        {"4E38", false},
        {"1E39", false},
        {".3E39", true},
        {".4E39", false},
        // The smallest positive single, 1.401298E-45, and one step below.
        {"1.401298E-45", true},
        {"1.401297E-45", false},
        {"1E-45", true},
        {"1.3E-45", false},
        {"1E-46", false},
        {"2E-45", true},
        {".1E-44", true},
        {".01E-44", false},
        // Eight digits count once there is a fraction.
        {"12345678.0", true},
        {"12345678.00", false},
        {"0.12345678", true},
        {"0.123456789", false},
        {"1.2345678", true},
        {"1.23456789", false},
        {".00012345678", true},
        {".000123456789", false},
        {"123456789012", true},
        {"123456789.0", true},
        {"123456789.5", false},
    });
    // 43 leading fraction zeros pass, a 44th is refused, also when every digit is 0.
    EXPECT_TRUE(entry_text_passes("0." + repeat('0', 43)));
    EXPECT_FALSE(entry_text_passes("0." + repeat('0', 44)));
    EXPECT_TRUE(entry_text_passes("\"-0." + repeat('0', 43) + "12345678E+10\"")); // the longest text: 60 bytes
    EXPECT_EQ(std::string("\"-0." + repeat('0', 43) + "12345678E+10\"").size(), 60u);
    EXPECT_TRUE(entry_text_passes("." + repeat('0', 43) + "1")); // m = -43
    EXPECT_FALSE(entry_text_passes("." + repeat('0', 43) + "1E-2"));
    // An integer without fraction may have 39 digits when it stays below the largest single.
    EXPECT_TRUE(entry_text_passes("3" + repeat('0', 38)));
    EXPECT_TRUE(entry_text_passes("3402823" + repeat('9', 32)));
    EXPECT_FALSE(entry_text_passes("3402824" + repeat('0', 32)));
    EXPECT_FALSE(entry_text_passes("1" + repeat('0', 39)));
    // Exponents far beyond any entry are judged without overflow.
    EXPECT_FALSE(entry_text_passes("1E" + repeat('9', 40)));
    EXPECT_FALSE(entry_text_passes("1E-" + repeat('9', 40)));
}

TEST(NumberSyntax, DecimalMeasure) {
    const decimal_measure m = *measure_decimal("-0.0012E-3");
    EXPECT_TRUE(m.negative);
    EXPECT_EQ(m.integer_digits, 0);
    EXPECT_EQ(m.fraction_digits, 4);
    EXPECT_EQ(m.leading_zeros, 2);
    EXPECT_EQ(m.exponent, -3);
    EXPECT_EQ(m.significant, "12");
    EXPECT_EQ(m.scale, -5);
    const decimal_measure n = *measure_decimal("120.50E2");
    EXPECT_FALSE(n.negative);
    EXPECT_EQ(n.integer_digits, 3);
    EXPECT_EQ(n.significant, "12050");
    EXPECT_EQ(n.scale, 5);
    const decimal_measure one_zero = *measure_decimal("7.0"); // a fraction of one 0 counts as none
    EXPECT_EQ(one_zero.fraction_digits, 0);
    EXPECT_EQ(one_zero.leading_zeros, 0);
}

TEST(NumberSyntax, MeasureOfAPassingText) {
    // A prefix form keeps its form and digits, a decimal form its measure;
    // a text that does not pass has none.
    const std::optional<number_measure> octal = measure_number_text("&O17");
    ASSERT_TRUE(octal.has_value());
    EXPECT_EQ(octal->prefix.form, radix_form::octal);
    EXPECT_EQ(octal->prefix.value, 15u);
    const std::optional<number_measure> decimal = measure_number_text("-120.50E2");
    ASSERT_TRUE(decimal.has_value());
    EXPECT_EQ(decimal->prefix.form, radix_form::none);
    EXPECT_TRUE(decimal->decimal.negative);
    EXPECT_EQ(decimal->decimal.significant, "12050");
    EXPECT_EQ(decimal->decimal.scale, 5);
    for (const char* refused : {"&HG", "00", "1E39", "0.123456789"}) {
        EXPECT_FALSE(measure_number_text(refused).has_value()) << refused;
    }
}

TEST(DecimalConversion, ValuesOfAcceptedTexts) {
    struct value_case {
        const char* text;
        float value;
    };
    const float inf = std::numeric_limits<float>::infinity();
    const std::vector<value_case> cases = {
        {"", 0.0f},
        {"-", 0.0f},
        {"0", 0.0f},
        {"-0", 0.0f},
        {".", 0.0f},
        {"-.", 0.0f},
        {"-0.", -0.0f},
        {"0.", 0.0f},
        {"-.0", -0.0f},
        {"1E", 1.0f},
        {"1E-", 1.0f},
        {"1E+", 1.0f},
        {"-2.5e", -2.5f},
        {"1e-3", 1e-3f},
        {"123456789", 123456792.0f},
        {"1.2345678", 1.2345678f},
        {"3.4E38", 3.4e38f},
        {"3.402823E38", 3.402823e38f},
        {"3.4028235E38", 3.40282347e38f},
        {"3.4028236E38", inf},
        {"-3.4028236E38", -inf},
        {"3402823"
         "9"
         "0000000000000000000000000000000",
         inf},
        {"1E-45", 1.40129846e-45f},
        {"1.401298E-45", 1.40129846e-45f},
        {"-1E-45", -1.40129846e-45f},
        {"1E-40", 1e-40f},
        {"1.1754944E-38", 1.17549435e-38f},
        {"&H1F", 31.0f},
        {"&h", 0.0f},
        {"&", 0.0f},
        {"&O777", 511.0f},
        {"&HFFFFFFFFFFFFFFFF", 18446744073709551616.0f},
        {"&H1000001", 16777216.0f},
        {"&H1000003", 16777220.0f},
    };
    for (const value_case& c : cases) {
        ASSERT_TRUE(number_text_passes(c.text)) << c.text;
        EXPECT_EQ(bits(stored_value(c.text)), bits(c.value)) << "text: [" << c.text << "] got " << stored_value(c.text);
    }
}

TEST(DecimalConversion, HalfwayCasesRoundToEven) {
    // 16777217 lies halfway between 16777216 and 16777218; the even mantissa wins.
    EXPECT_EQ(bits(stored_value("16777217")), bits(16777216.0f));
    EXPECT_EQ(bits(stored_value("16777219")), bits(16777220.0f));
    // Halfway between the two smallest positive singles: 1.5 x 2^-149 rounds to 2 x 2^-149.
    const std::string tie = "2.101947696487225606385594605324121721159892022276134301E-45";
    EXPECT_EQ(bits(*decimal_text_to_single(tie, *measure_decimal(tie))), bits(std::ldexp(2.0f, -149)));
    // 2^64 - 1 from the digits of a prefix form, and a tie just above 2^63.
    EXPECT_EQ(bits(single_from_unsigned(0xFFFFFFFFFFFFFFFFull)), bits(18446744073709551616.0f));
    EXPECT_EQ(bits(single_from_unsigned(0x8000008000000000ull)), bits(9223372036854775808.0f));
    EXPECT_EQ(bits(single_from_unsigned(0x8000018000000000ull)), bits(9223374235878031360.0f));
    EXPECT_EQ(bits(single_from_unsigned(0x8000008000000001ull)), bits(9223373136366403584.0f));
}

TEST(DecimalConversion, AgreesWithTheCLibraryInTheCLocale) {
    // Random accepted decimal texts read by strtof in a locale object of its
    // own (so the process locale plays no part) must give the same single.
    locale_t c_locale = newlocale(LC_ALL_MASK, "C", nullptr);
    ASSERT_NE(c_locale, nullptr);
    std::mt19937 random(20260411);
    const std::string alphabet = "0123456789.-Ee+";
    int compared = 0;
    for (int round = 0; round < 20000; ++round) {
        std::string text;
        const int length = 1 + static_cast<int>(random() % 14);
        for (int k = 0; k < length; ++k) {
            const char c = alphabet[random() % alphabet.size()];
            if (number_text_passes(text + c)) text.push_back(c);
        }
        if (text.empty() || text == "-" || text == "0" || text == "-0") continue;
        char* end = nullptr;
        const float expected = strtof_l(text.c_str(), &end, c_locale);
        const float want = end == text.c_str() ? 0.0f : expected;
        ASSERT_EQ(bits(stored_value(text)), bits(want)) << "text: [" << text << "]";
        ++compared;
    }
    freelocale(c_locale);
    EXPECT_GT(compared, 1000);
}

TEST(DecimalConversion, CommaLocaleDoesNotChangeValues) {
    const char* before = std::setlocale(LC_ALL, nullptr);
    const std::string saved = before != nullptr ? before : "C";
    const char* comma_locales[] = {"de_DE.UTF-8", "de_DE.utf8", "de_DE", "fr_FR.UTF-8", "fr_FR.utf8"};
    const char* chosen = nullptr;
    for (const char* name : comma_locales) {
        if (std::setlocale(LC_ALL, name) != nullptr) {
            chosen = name;
            break;
        }
    }
    if (chosen == nullptr) GTEST_SKIP() << "no comma locale installed";
    const bool comma = std::localeconv()->decimal_point[0] == ',';
    const float half = stored_value("1.5");
    const float small = stored_value("-0.0012E-3");
    const float tiny = stored_value("1E-45");
    const bool accepted = entry_text_passes("1.5");
    std::setlocale(LC_ALL, saved.c_str());
    EXPECT_TRUE(comma) << chosen;
    EXPECT_TRUE(accepted);
    EXPECT_EQ(bits(half), bits(1.5f));
    EXPECT_EQ(bits(small), bits(-0.0012e-3f));
    EXPECT_EQ(bits(tiny), bits(1.40129846e-45f));
}
