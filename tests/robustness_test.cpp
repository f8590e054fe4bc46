// Random data sets through the whole routine: whatever is typed, every run
// ends with the finished screen or with "Wrong Data Entry!", never with a
// crash or a hang.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <random>
#include <string>

#include "platform/runtime/flags.h"
#include "platform/screen/line_drawing.h"
#include "support/page_testing.h"
#include "winding/loop_termination.h"
#include "winding/winding_variables.h"

using namespace platform;
using testing_support::shows_rejection;

namespace {

// Keys for one entry: mostly the characters of numbers, with stray bytes,
// Backspace, Tab and extended keys mixed in, then Enter.
key_script random_entry(std::mt19937& random) {
    key_script keys;
    const int length = std::uniform_int_distribution<int>(0, 6)(random);
    const std::string digits = "0123456789";
    const std::string number_marks = "-.Ee+";
    const std::string prefix_marks = "&HhOo";
    const std::uint8_t extended_keys[] = {0x48, 0x50, 0x4B, 0x4D, 0x3B, 0x53, 0x47, 0x4F};
    for (int k = 0; k < length; ++k) {
        const int kind = std::uniform_int_distribution<int>(0, 99)(random);
        auto pick = [&](const std::string& s) {
            return s[std::uniform_int_distribution<std::size_t>(0, s.size() - 1)(random)];
        };
        if (kind < 60) {
            keys.push_back(tap(key_event::character(static_cast<std::uint8_t>(pick(digits)))));
        } else if (kind < 72) {
            keys.push_back(tap(key_event::character(static_cast<std::uint8_t>(pick(number_marks)))));
        } else if (kind < 78) {
            keys.push_back(tap(key_event::character(static_cast<std::uint8_t>(pick(prefix_marks)))));
        } else if (kind < 88) {
            const auto byte = static_cast<std::uint8_t>(std::uniform_int_distribution<int>(0, 255)(random));
            if (byte != 13) keys.push_back(tap(key_event::character(byte)));
        } else if (kind < 93) {
            keys.push_back(tap(key_event::character(8)));
        } else if (kind < 96) {
            keys.push_back(tap(key_event::character(9)));
        } else {
            keys.push_back(
                tap(key_event::extended_key(extended_keys[std::uniform_int_distribution<int>(0, 7)(random)])));
        }
    }
    keys.push_back(tap(key_event::character(13)));
    return keys;
}

// 10,000 runs by default; the sanitizer builds, several times slower, set
// ROBUSTNESS_RUNS to run fewer.
int run_count() {
    const char* text = std::getenv("ROBUSTNESS_RUNS");
    const int n = text != nullptr ? std::atoi(text) : 0;
    return n > 0 ? n : 10'000;
}

} // namespace

TEST(Robustness, RandomDataSetsEndWithTheFinishedScreenOrTheRejection) {
    // The bound on each run: a diagram of more lines than this (slot counts in
    // the hundreds of thousands, which are valid data) is cut short here as a
    // close of the window would cut it; the run must then be one whose loops
    // do end.
    constexpr std::size_t line_bound = 300'000;
    std::mt19937 random(20261210);
    int finished = 0, rejected = 0, cut_short = 0;
    std::size_t lines = 0;
    set_line_observer([&](float, float, float, float) {
        if (++lines == line_bound) {
            flags().stop_requested.store(1);
            flags().event_pending.store(1);
        }
    });
    const int runs = run_count();
    for (int run = 0; run < runs; ++run) {
        const key_script keys = random_entry(random) + random_entry(random) + random_entry(random);
        lines = 0;
        run_options options;
        options.poll_limit = 100'000;
        const run_result r = testing_support::run_winding(keys, options);
        if (r.end == run_end::key_waiting) {
            ++finished;
            EXPECT_EQ(r.keys_left, 0u);
            EXPECT_FALSE(shows_rejection());
        } else if (r.end == run_end::closing_prompt) {
            ++rejected;
            EXPECT_TRUE(shows_rejection()) << "run " << run;
        } else {
            ASSERT_EQ(r.end, run_end::parked) << "run " << run << ": " << to_string(r.end);
            ASSERT_GE(lines, line_bound) << "run " << run;
            EXPECT_TRUE(winding::diagram_loops_end(winding::variables())) << "run " << run;
            ++cut_short;
        }
    }
    set_line_observer({});
    std::printf("random data sets: %d finished, %d rejected, %d long diagrams cut short\n", finished, rejected,
                cut_short);
    EXPECT_GT(finished, 0);
    EXPECT_GT(rejected, 0);
}
