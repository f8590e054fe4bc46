// The timer and frame threads and the exit sequence: who waits for whom
// before the process ends, and what leads there.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <stdexcept>
#include <string>
#include <thread>

#include "platform/headless/headless_runtime.h"
#include "platform/keys/keyboard.h"
#include "platform/keys/lock_state.h"
#include "platform/runtime/event_check.h"
#include "platform/runtime/flags.h"
#include "platform/runtime/hooks.h"
#include "platform/runtime/parking.h"
#include "platform/screen/frame_builder.h"
#include "platform/screen/page.h"
#include "platform/screen/screen_mode.h"
#include "platform/threads/platform_threads.h"
#include "support/thread_waits.h"

using namespace platform;

namespace {

struct left_the_routine {};

class RuntimeThreads : public testing::Test {
protected:
    void SetUp() override { reset_runtime(); }
    void TearDown() override {
        install_default_hooks();
        set_frame_builder_running(false);
        publish_lock_states({});
        reset_runtime();
    }
};

// A sleep hook that counts the polls and runs `step` at each of them. Past
// 100 polls it throws, so that a loop that never ends fails the test (with
// this message) instead of hanging it.
template <typename Step>
void step_sleeps(Step step) {
    constexpr int most_polls = 100;
    auto count = std::make_shared<int>(0);
    hooks().sleep = [count, step](poll_site, int) {
        if (++*count > most_polls) {
            throw std::runtime_error("still polling after " + std::to_string(most_polls) +
                                     " sleeps: the loop waits for something that never comes");
        }
        step(*count);
    };
}

} // namespace

TEST_F(RuntimeThreads, ExitSequenceWaitsForBothParkedBitsThenEndsWithExitCode) {
    runtime_flags& f = flags();
    std::atomic<int> ended_with{-1};
    hooks().end_process = [&](int code) { ended_with.store(code); };
    step_sleeps([&](int poll) {
        // The stop request and the event flag are up before the first wait.
        EXPECT_EQ(f.stop_requested.load(), 1);
        EXPECT_EQ(f.event_pending.load(), 1);
        EXPECT_EQ(ended_with.load(), -1) << "ended before both threads were parked";
        if (poll == 3) f.parked_threads.fetch_or(finished_timer_bit);
        if (poll == 6) f.parked_threads.fetch_or(parked_program_bit);
        ASSERT_LT(poll, 100);
    });
    exit_sequence();
    EXPECT_EQ(ended_with.load(), 0);
    EXPECT_EQ(f.parked_threads.load(), 3);
}

TEST_F(RuntimeThreads, TimerThreadMarksItselfFinishedOnceStopIsRequested) {
    runtime_flags& f = flags();
    step_sleeps([&](int poll) {
        EXPECT_EQ(f.parked_threads.load(), 0);
        if (poll == 5) f.stop_requested.store(1);
        ASSERT_LT(poll, 100);
    });
    timer_thread_loop();
    EXPECT_EQ(f.parked_threads.load(), finished_timer_bit);
}

TEST_F(RuntimeThreads, ParkedBitsOfBothThreadsSurviveEachOther) {
    runtime_flags& f = flags();
    f.stop_requested.store(1);
    hooks().park = [] { throw left_the_routine{}; };
    timer_thread_loop();
    try {
        stop_and_wait();
    } catch (const left_the_routine&) {
    }
    EXPECT_EQ(f.parked_threads.load(), 3);
}

namespace {

// Runs the three threads with a routine that works statement after statement
// until it parks, raises `trigger` once the routine is under way, and gives
// back the exit code passed to end_process.
int run_threads_until_end(const std::function<void()>& trigger) {
    std::atomic<int> exit_code{-1};
    std::atomic<int> statements{0};
    hooks().end_process = [&](int code) {
        int none = -1;
        exit_code.compare_exchange_strong(none, code);
    };
    hooks().park = [] { throw left_the_routine{}; };
    platform_threads threads = start_platform_threads([&] {
        try {
            for (int n = 1;; ++n) {
                statements.fetch_add(1);
                end_of_statement(n);
                std::this_thread::sleep_for(std::chrono::microseconds(200));
            }
        } catch (const left_the_routine&) {
        }
    });
    EXPECT_TRUE(testing_support::wait_until([&] { return statements.load() >= 10; }))
        << "the program thread did not run the routine";
    trigger();
    testing_support::join_after_process_end(threads, [&] { return exit_code.load() != -1; });
    EXPECT_EQ(flags().parked_threads.load(), 3);
    EXPECT_EQ(flags().stop_requested.load(), 1);
    return exit_code.load();
}

} // namespace

TEST_F(RuntimeThreads, CloseRequestEndsTheProcessWithExitCodeZero) {
    EXPECT_EQ(run_threads_until_end([] { flags().close_request.fetch_or(1); }), 0);
}

TEST_F(RuntimeThreads, ProgramFinishedByBreakEndsTheProcessWithExitCodeZero) {
    EXPECT_EQ(run_threads_until_end([] { handle_key_down(key_event::break_key()); }), 0);
    EXPECT_EQ(flags().program_finished.load(), 1);
}

TEST_F(RuntimeThreads, FrameThreadBuildsFramesOfTheActivePage) {
    EXPECT_EQ(run_threads_until_end([] {
                  const std::uint64_t before = frames().building_passes();
                  EXPECT_TRUE(testing_support::wait_until([&] { return frames().building_passes() >= before + 2; }))
                      << "the frame thread built no frames";
                  flags().close_request.fetch_or(1);
              }),
              0);
    const frame* f = frames().newest_frame();
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(f->width, active_page().width);
    EXPECT_EQ(f->height, active_page().height);
}
