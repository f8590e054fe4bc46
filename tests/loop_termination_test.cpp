// Whether a counted loop of the routine ends: the check's leaps over exact
// stretches give the same answer as following the loop pass by pass, and
// take a few dozen passes whatever the bounds. (Data whose loops would never
// end are refused like wrong data: see data_entry_test.cpp.)
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <random>

#include "winding/counted_loop.h"
#include "winding/loop_termination.h"
#include "winding/winding_variables.h"

namespace {

constexpr long double inf = std::numeric_limits<long double>::infinity();
constexpr long double two_23 = 8388608.0L;
constexpr long double two_24 = 16777216.0L;
constexpr long double two_25 = 33554432.0L;

// Few enough for any bounds; following the loop pass by pass takes up to 2^25.
constexpr std::uint64_t most_passes_followed = 200;

// The loop followed pass by pass, as the routine runs it, with a bound on
// the passes that no loop that ends reaches.
bool ends_pass_by_pass(long double start, long double end) {
    winding::counted_loop loop(start, end, 1);
    if (std::isnan(loop.counter()) || std::isnan(loop.end())) return false;
    float variable = 0;
    for (std::uint64_t pass = 0; pass < (std::uint64_t{1} << 26); ++pass) {
        const double before = loop.counter();
        if (!loop.head(variable)) return true;
        loop.advance(variable);
        if (loop.counter() == before) return false;
    }
    return false;
}

struct bounds {
    long double start;
    long double end;
    bool ends;
};

// Loops that cross the places where Single counting changes: 2^23 (where the
// spacing becomes 1), 2^24 (where it becomes 2), zero, and beyond 2^25.
const bounds whole_ranges[] = {
    {-11, 21, true},
    {5, 1, true},                // no pass
    {-16777218, 16777216, true}, // -2^24 - 2 steps to -2^24, then on by 1 up to 2^24
    {-two_24, two_24, true},     // loop 40 of 2p = 2, z = 16777216, m = 0
    {1, two_24, true},           // its label loop
    {16777216, 16777216, true},
    {16777216, 16777217, false},  // 2^24 + 1 rounds back to 2^24
    {0, two_24 + 2, false},       // stalls at 2^24
    {-20000002, 20000000, false}, // stalls at -20,000,000
    {-16777220, 5, false},        // -2^24 - 4 stays where it is
    {-two_25, 0, false},          // a spacing of 4: adding 1 never moves it
    {-0.5L, two_24, true},        // halves up to 2^23, where they round to whole numbers
    {0.1L, 100, true},            // a start that is not a Single
    {-1e-30L, two_23 + 5, true},
    {0, inf, false},
    {-inf, 0, false},
    {inf, 0, true},
    {-inf, -inf, false},
    {inf, inf, false},
    {0, -inf, true},
    {std::nanl(""), 0, false},
    {0, std::nanl(""), false},
};

} // namespace

TEST(LoopTermination, AgreesWithTheLoopFollowedPassByPass) {
    for (const bounds& b : whole_ranges) {
        SCOPED_TRACE(::testing::Message() << "from " << b.start << " to " << b.end);
        EXPECT_EQ(ends_pass_by_pass(b.start, b.end), b.ends);
        const winding::loop_outcome outcome = winding::follow_counted_loop(b.start, b.end);
        EXPECT_EQ(outcome.ends, b.ends);
        EXPECT_LT(outcome.passes_followed, most_passes_followed);
    }
}

TEST(LoopTermination, AgreesNearTheEdgesOfSingleCounting) {
    // Starts near each edge, whole and fractional, Single and not, with
    // ends up to 2^16 further on: short enough to follow pass by pass.
    const long double edges[] = {0, 1, two_23, two_24, two_25, -1, -two_23, -two_24, -two_25, 1024, -1024};
    std::mt19937_64 random(20261210);
    std::uniform_int_distribution<int> offset(-40, 40);
    std::uniform_int_distribution<int> length(-3, 1 << 16);
    std::uniform_int_distribution<int> fraction_kind(0, 3);
    for (int i = 0; i < 3000; ++i) {
        const long double edge = edges[i % std::size(edges)];
        long double start = edge + offset(random);
        switch (fraction_kind(random)) {
            case 0: break;
            case 1: start += 0.5L; break;
            case 2: start += 0.25L; break;
            default: start += std::ldexp(static_cast<long double>(random() % 1000), -12); break;
        }
        const long double end = start + length(random) + (i % 2 == 0 ? 0.5L : 0.0L);
        SCOPED_TRACE(::testing::Message()
                     << "from " << static_cast<double>(start) << " to " << static_cast<double>(end));
        const winding::loop_outcome outcome = winding::follow_counted_loop(start, end);
        ASSERT_EQ(outcome.ends, ends_pass_by_pass(start, end));
        ASSERT_LT(outcome.passes_followed, most_passes_followed);
    }
}

TEST(LoopTermination, EachDiagramLoopThatAloneNeverEndsRefusesTheData) {
    // For each of the four loops, the variables the routine computes from
    // data whose other loops all end: leaving any loop out of the check lets
    // such data through. Tested on the check itself, not through the routine:
    // a label loop that never ends draws no lines, so no bound of a headless
    // run would stop it.
    constexpr float inf_single = std::numeric_limits<float>::infinity();
    constexpr float nan_single = std::numeric_limits<float>::quiet_NaN();
    struct lone_loop {
        const char* data;
        int loop; // 0: coils (40), 1: dashes (59), 2: pole boundaries (65), 3: slot labels (98)
        float pole_pairs, slot_count, winding_pitch, first_pitch;
    };
    const lone_loop table[] = {
        {"2p = 2, z = 21, m = 20000000", 0, 1, 21, 20000020, 10},
        {"2p = 0, z = 0, m = -1", 1, 0, 0, -inf_single, nan_single},
        {"2p = 3.4028236E38, z = 21, m = 1", 2, inf_single, 21, 0, 0},
        {"2p = -0., z = 16777218, m = 1", 3, -0.0f, 16777218, -inf_single, -inf_single},
    };
    for (const lone_loop& c : table) {
        SCOPED_TRACE(c.data);
        winding::winding_variables& v = winding::allocate_variables();
        v.pole_pairs = c.pole_pairs;
        v.slot_count = c.slot_count;
        v.winding_pitch = c.winding_pitch;
        v.first_pitch = c.first_pitch;
        const bool loop_ends[] = {
            winding::counted_loop_ends(-static_cast<long double>(c.winding_pitch), c.slot_count),
            winding::counted_loop_ends(-static_cast<long double>(c.first_pitch), c.slot_count),
            winding::counted_loop_ends(0, static_cast<long double>(c.pole_pairs) + c.pole_pairs),
            winding::counted_loop_ends(1, c.slot_count),
        };
        for (int loop = 0; loop < 4; ++loop) EXPECT_EQ(loop_ends[loop], loop != c.loop) << "loop " << loop;
        EXPECT_FALSE(winding::diagram_loops_end(v));
    }
}
