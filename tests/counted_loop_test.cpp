// The counted loops' mechanics: bounds held as doubles, the test on the
// counter, the Single loop variable and what it holds afterwards, and the
// loops that never end (NaN bounds, a variable beyond 2^24).
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "winding/counted_loop.h"

namespace {

struct loop_run {
    std::vector<float> passes; // the loop variable in each pass
    float after = 0.0f;        // the loop variable once the loop ended (or was cut off)
    bool ended = false;
};

// Runs a loop the way the routine does, cutting it off after `limit` passes.
loop_run run_loop(long double start, long double end, long double step, std::size_t limit = 1000) {
    loop_run run;
    float variable = -12345.0f;
    winding::counted_loop loop(start, end, step);
    while (loop.head(variable)) {
        if (run.passes.size() == limit) {
            run.after = variable;
            return run;
        }
        run.passes.push_back(variable);
        loop.advance(variable);
    }
    run.after = variable;
    run.ended = true;
    return run;
}

std::vector<float> range(float first, float last, float step) {
    std::vector<float> v;
    for (float x = first; step > 0 ? x <= last : x >= last; x += step) v.push_back(x);
    return v;
}

constexpr long double nan_value = std::numeric_limits<long double>::quiet_NaN();
constexpr long double infinity = std::numeric_limits<long double>::infinity();

struct ending_case {
    const char* name;
    long double start, end, step;
    std::vector<float> passes;
    float after;
};

TEST(CountedLoop, EndsOnTheFirstValuePastTheEndOrRunsNoPass) {
    const ending_case cases[] = {
        {"loop 40 with 2p = 4, z = 21, m = 1", -11, 21, 1, range(-11, 21, 1), 22},
        {"loop 58", 0, 20, 2, range(0, 20, 2), 22},
        {"loop 98 with z = 21", 1, 21, 1, range(1, 21, 1), 22},
        {"loop 98 with z = 0: start past the end", 1, 0, 1, {}, 1},
        {"start past the end keeps the start", 5.5L, 3, 1, {}, 5.5f},
        {"counting down", 3, 1, -1, {3, 2, 1}, 0},
        {"step 0 counts up", 1, 0, 0, {}, 1},
        // The test is made on the counter, 0.1 as a double, not on the
        // variable, 0.1 rounded up to a Single.
        {"test on the counter", 0.1L, 0.1L, 1, {0.1f}, 1.1f},
        {"fractional start", 0.5L, 2, 1, {0.5f, 1.5f}, 2.5f},
    };
    for (const ending_case& c : cases) {
        SCOPED_TRACE(c.name);
        const loop_run run = run_loop(c.start, c.end, c.step);
        EXPECT_TRUE(run.ended);
        EXPECT_EQ(run.passes, c.passes);
        EXPECT_EQ(run.after, c.after);
    }
}

TEST(CountedLoop, BoundsAreHeldAsDoubles) {
    // An end just below 1 in extended precision is 1 as a double, so the
    // pass with the counter at 1 runs.
    const long double just_below_one = 1.0L - std::ldexp(1.0L, -60);
    ASSERT_LT(just_below_one, 1.0L);
    const loop_run run = run_loop(0, just_below_one, 1);
    EXPECT_TRUE(run.ended);
    EXPECT_EQ(run.passes, (std::vector<float>{0, 1}));
    EXPECT_EQ(run.after, 2.0f);
}

struct endless_case {
    const char* name;
    long double start, end, step;
    float first, last, after;
};

bool same_value(float a, float b) { return a == b || (std::isnan(a) && std::isnan(b)); }

TEST(CountedLoop, NaNBoundsAndVariablesBeyond2To24NeverEnd) {
    constexpr float nan_single = std::numeric_limits<float>::quiet_NaN();
    constexpr float minus_infinity = -std::numeric_limits<float>::infinity();
    const endless_case cases[] = {
        {"NaN end", 0, nan_value, 1, 0, 199, 200},
        {"NaN step", 0, 10, nan_value, 0, nan_single, nan_single},
        {"infinite start", -infinity, 10, 1, minus_infinity, minus_infinity, minus_infinity},
        {"step 1 from 16777216 stalls", 16777216, 16777300, 1, 16777216, 16777216, 16777216},
        {"2p = 2, z = 20000000, m = 2", -20000002, 20000000, 1, -20000002, -20000000, -20000000},
    };
    for (const endless_case& c : cases) {
        SCOPED_TRACE(c.name);
        const loop_run run = run_loop(c.start, c.end, c.step, 200);
        EXPECT_FALSE(run.ended);
        ASSERT_EQ(run.passes.size(), 200u);
        EXPECT_TRUE(same_value(run.passes.front(), c.first)) << run.passes.front();
        EXPECT_TRUE(same_value(run.passes.back(), c.last)) << run.passes.back();
        EXPECT_TRUE(same_value(run.after, c.after)) << run.after;
    }
}

} // namespace
