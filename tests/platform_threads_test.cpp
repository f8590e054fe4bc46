// The timer and frame threads and the exit sequence: who waits for whom
// before the process ends, and what leads there.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <future>
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

// A sleep hook that counts the polls and runs `step` at each of them.
template <typename Step>
void step_sleeps(Step step) {
    auto count = std::make_shared<int>(0);
    hooks().sleep = [count, step](poll_site, int) { step(++*count); };
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
    std::promise<int> ended;
    std::atomic<bool> ended_once{false};
    std::atomic<int> statements{0};
    hooks().end_process = [&](int code) {
        if (!ended_once.exchange(true)) ended.set_value(code);
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
    while (statements.load() < 10) std::this_thread::yield();
    trigger();
    std::future<int> code = ended.get_future();
    // A bound so that a fault shows as a failure, not as a hung test.
    const bool finished = code.wait_for(std::chrono::seconds(20)) == std::future_status::ready;
    EXPECT_TRUE(finished);
    if (!finished) std::_Exit(3);
    threads.frame.join();
    threads.timer.join();
    threads.program.join();
    EXPECT_EQ(flags().parked_threads.load(), 3);
    EXPECT_EQ(flags().stop_requested.load(), 1);
    return code.get();
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
                  while (frames().building_passes() < before + 2) std::this_thread::yield();
                  flags().close_request.fetch_or(1);
              }),
              0);
    const frame* f = frames().newest_frame();
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(f->width, active_page().width);
    EXPECT_EQ(f->height, active_page().height);
}
