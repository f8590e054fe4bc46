// Data entry, the pitch computation and the pitch and pole tests of the
// routine, and the refusal of data whose loops would never end, run
// headlessly against typed keys.
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <string>

#include "platform/screen/page.h"
#include "support/page_testing.h"
#include "winding/winding_variables.h"

using namespace platform;
using testing_support::outcome;
using testing_support::row_text;
using testing_support::run_winding;
using testing_support::shows_rejection;

namespace {

constexpr float inf = std::numeric_limits<float>::infinity();
constexpr float nan_value = std::numeric_limits<float>::quiet_NaN();

struct worked_values {
    const char* poles;
    const char* slots;
    const char* multiplex;
    float p, spacing, y, y1, y2;
    outcome result;
};

// Same Single, bit for bit; every NaN counts as the same.
::testing::AssertionResult same_single(const char* what, float actual, float expected) {
    if (std::isnan(expected) && std::isnan(actual)) return ::testing::AssertionSuccess();
    if (std::bit_cast<std::uint32_t>(actual) == std::bit_cast<std::uint32_t>(expected))
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << what << " is " << actual << " (0x" << std::hex
                                         << std::bit_cast<std::uint32_t>(actual) << "), expected " << expected << " (0x"
                                         << std::bit_cast<std::uint32_t>(expected) << ")";
}

std::string keys_for(const char* poles, const char* slots, const char* multiplex) {
    return std::string(poles) + "\r" + slots + "\r" + multiplex + "\r";
}

} // namespace

TEST(DataEntry, WorkedValuesGiveTheirPitchesAndOutcome) {
    const worked_values table[] = {
        {"4", "21", "1", 2, 23.8095245f, 11, 5, 6, outcome::accepted},
        {"6", "25", "2", 3, 20, 9, 4, 5, outcome::accepted},
        {"4", "22", "1", 2, 22.727272f, 11.5f, 5, 6.5f, outcome::rejected},
        {"8", "32", "3", 4, 15.625f, 8.75f, 4, 4.75f, outcome::rejected},
        {"3", "21", "0", 1.5f, 23.8095245f, 14, 7, 7, outcome::rejected},
        {"4", "22.5", "1.5", 2, 22.2222214f, 12, 5, 7, outcome::accepted},
        {"4", "21.5", ".5", 2, 23.2558136f, 11, 5, 6, outcome::accepted},
        {"-4", "21", "1", -2, 23.8095245f, -11, -6, -5, outcome::accepted},
        {"2", "0", "1", 1, inf, 1, 0, 1, outcome::accepted},
        {"194", "1", "16777216", 97, 500, 172961, 0, 172961, outcome::accepted},
        {"2", "1", "1E-9", 1, 500, 1, 0, 1, outcome::accepted},
        {"2", "1", "1E-6", 1, 500, 1.00000095f, 0, 1.00000095f, outcome::rejected},
        {"0", "-1", "-1", 0, -500, -inf, -inf, nan_value, outcome::accepted},
        {"-0.", "1", "1", -0.0f, 500, -inf, -inf, nan_value, outcome::accepted},
        {"2", "-3E38", "-3E38", 1, -1.66666664E-36f, -inf, -1.5E+38f, -inf, outcome::accepted},
        {"-2", "21", "3.4028236E38", -1, 23.8095245f, -inf, -11, -inf, outcome::accepted},
        {"-3.4028236E38", "21", "1", -inf, 23.8095245f, -0.0f, -0.0f, 0, outcome::accepted},
    };
    for (const worked_values& row : table) {
        SCOPED_TRACE(std::string("2p=") + row.poles + " z=" + row.slots + " m=" + row.multiplex);
        const run_result r = run_winding(typed(keys_for(row.poles, row.slots, row.multiplex)));
        const winding::winding_variables& v = winding::variables();
        EXPECT_TRUE(same_single("p", v.pole_pairs, row.p));
        EXPECT_TRUE(same_single("slot spacing", v.slot_spacing, row.spacing));
        EXPECT_TRUE(same_single("y", v.winding_pitch, row.y));
        EXPECT_TRUE(same_single("y1", v.first_pitch, row.y1));
        EXPECT_TRUE(same_single("y2", v.second_pitch, row.y2));
        if (row.result == outcome::accepted) {
            EXPECT_EQ(r.end, run_end::key_waiting) << to_string(r.end);
            EXPECT_FALSE(shows_rejection());
        } else {
            EXPECT_EQ(r.end, run_end::closing_prompt) << to_string(r.end);
            EXPECT_TRUE(shows_rejection());
        }
    }
}

TEST(DataEntry, ExtendedPrecisionKeepsTheSumIntoTheDivision) {
    // z + m = 16777217 is not a Single; rounded before the division it would
    // give y = 172960.984375 and the data would be rejected.
    run_winding(typed("194\r1\r16777216\r"));
    EXPECT_EQ(winding::variables().winding_pitch, 172961.0f);
    const float rounded_sum = 1.0f + 16777216.0f;
    EXPECT_NE(static_cast<float>(rounded_sum / 97.0f), 172961.0f);
}

TEST(DataEntry, RejectionScreenKeepsPromptsAndEntries) {
    const run_result r = run_winding(typed("4\r22\r1\r"));
    ASSERT_EQ(r.end, run_end::closing_prompt);
    const drawing_page& page = active_page();
    std::string row4(80, ' ');
    row4.replace(11, 17, "Number of poles: ");
    row4.replace(28, 1, "4");
    row4.replace(32, 19, "Number od slots: z=");
    row4.replace(51, 2, "22");
    row4.replace(55, 13, "Multiplex: m=");
    row4.replace(68, 1, "1");
    EXPECT_EQ(row_text(page, 4), row4);
    // The message sits in its cells exactly: row 15 from column 30 (x 232).
    std::string row15(80, ' ');
    row15.replace(29, 17, "Wrong Data Entry!");
    EXPECT_EQ(row_text(page, 15), row15);
    std::string row30(80, ' ');
    row30.replace(0, 25, "Press any key to continue");
    EXPECT_EQ(row_text(page, 30), row30);
    // Nothing else is on the page: every other row is blank.
    for (int row = 1; row <= 30; ++row) {
        if (row == 4 || row == 15 || row == 30) continue;
        EXPECT_EQ(row_text(page, row), std::string(80, ' ')) << "row " << row;
    }
    // The closing prompt leaves the cursor on its own row.
    EXPECT_EQ(page.text_cursor.row, 30);
}

TEST(DataEntry, LongFirstEntryIsOverprintedByTheSecondPrompt) {
    run_winding(typed("12345\r21\r1\r"), {});
    // The run was rejected (12345 is odd), so the screen still shows row 4.
    const std::string row4 = row_text(active_page(), 4);
    EXPECT_EQ(row4.substr(28, 4), "1234");
    EXPECT_EQ(row4.substr(32, 19), "Number od slots: z=");
    EXPECT_EQ(winding::variables().pole_count, 12345.0f);
}

TEST(DataEntry, NeverEndingDataAreRefusedAndEndingInfiniteDataAccepted) {
    struct data_case {
        const char* keys;
        outcome result;
    };
    const data_case table[] = {
        {"0\r-1\r-1\r", outcome::accepted},           // y and y1 are -infinity: the loops run no pass
        {"-0.\r1\r1\r", outcome::accepted},           // the same with the signs reversed
        {"2\r20000000\r2\r", outcome::rejected},      // loop 40 stalls at -20,000,000
        {"\r\r\r", outcome::rejected},                // y = 0 / 0 is NaN
        {"0\r21\r1\r", outcome::rejected},            // y = +infinity: loop 40 starts at -infinity
        {"3.4028236E38\r21\r1\r", outcome::rejected}, // 2p = +infinity: the pole loop never ends
        {"2\r21\r20000000\r", outcome::rejected},     // loop 40 alone stalls, at -20,000,020
        {"0\r0\r-1\r", outcome::rejected},            // loop 59 alone: y1 = 0 / 0 is NaN
    };
    for (const data_case& c : table) {
        SCOPED_TRACE(c.keys);
        const run_result r = run_winding(typed(c.keys));
        EXPECT_EQ(r.end, c.result == outcome::accepted ? run_end::key_waiting : run_end::closing_prompt)
            << to_string(r.end);
        EXPECT_EQ(shows_rejection(), c.result == outcome::rejected);
    }
}
