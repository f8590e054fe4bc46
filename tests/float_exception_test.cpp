// The arithmetic-exception signal: the thread that receives it stops there
// for good, and the frame thread shows the critical box "Division by zero"
// and ends the process as a failure; received on the frame thread itself,
// the box's words go to stderr and the process ends at once. Each case runs
// the real threads in a process of its own.
#include <gtest/gtest.h>

#include <pthread.h>

#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <functional>
#include <string>
#include <thread>

#include "platform/headless/headless_runtime.h"
#include "platform/runtime/errors.h"
#include "platform/runtime/float_exception.h"
#include "platform/runtime/fpu_control.h"
#include "platform/runtime/hooks.h"
#include "platform/screen/frame_builder.h"
#include "platform/threads/platform_threads.h"

using namespace platform;

namespace {

// The critical box as the test's message box writes it to stderr, with the
// thread that showed it: never the one in the signal handler.
constexpr const char* box_from_frame_thread = "^shown by the frame thread\nCritical Error\nDivision by zero\n$";
// What the frame thread writes itself when the signal reaches it.
constexpr const char* box_words = "^Critical Error\nDivision by zero\n$";

std::atomic<std::thread::id> frame_thread_id{};

box_answer box_naming_its_thread(const std::string& caption, const std::string& text, box_buttons) {
    const bool on_frame_thread = std::this_thread::get_id() == frame_thread_id.load();
    std::fprintf(stderr, "%s\n%s\n%s\n", on_frame_thread ? "shown by the frame thread" : "shown by another thread",
                 caption.c_str(), text.c_str());
    return box_answer::ok;
}

// A division of 1 by 0 in the processor's integer unit, which traps.
void divide_by_zero() {
    unsigned quotient = 1, remainder = 0, divisor = 0;
    asm volatile("divl %2" : "+a"(quotient), "+d"(remainder) : "r"(divisor));
}

void wait_for_first_frame_pass() {
    while (frames().building_passes() == 0) std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

// Starts the program, timer and frame threads with `program` on the program
// thread, as the platform does, and waits for the process to end.
[[noreturn]] void run_platform(const std::function<void()>& program) {
    reset_runtime();
    install_default_hooks();
    hooks().message_box = box_naming_its_thread;
    platform_threads threads = start_platform_threads([program] {
        while (frame_thread_id.load() == std::thread::id()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
        install_float_exception_handler();
        program();
        std::fputs("the program went on\n", stderr);
        for (;;) std::this_thread::sleep_for(std::chrono::seconds(1));
    });
    frame_thread_id.store(threads.frame.get_id());
    threads.program.join();
    for (;;) std::this_thread::sleep_for(std::chrono::seconds(1));
}

class FloatExceptionDeathTest : public ::testing::Test {
protected:
    void SetUp() override { GTEST_FLAG_SET(death_test_style, "threadsafe"); }
};

} // namespace

TEST_F(FloatExceptionDeathTest, ATrappedDivisionStopsTheProgramThreadAndTheFrameThreadReportsIt) {
    EXPECT_EXIT(run_platform(divide_by_zero), ::testing::ExitedWithCode(critical_exit_code), box_from_frame_thread);
}

TEST_F(FloatExceptionDeathTest, ARaisedSignalIsReportedTheSameWay) {
    EXPECT_EXIT(run_platform([] { std::raise(SIGFPE); }), ::testing::ExitedWithCode(critical_exit_code),
                box_from_frame_thread);
}

TEST_F(FloatExceptionDeathTest, OnTheFrameThreadItselfTheBoxWordsGoToStderr) {
    EXPECT_EXIT(
        {
            install_float_exception_handler();
            reset_runtime();
            install_default_hooks();
            platform_threads threads = start_platform_threads([] {
                for (;;) std::this_thread::sleep_for(std::chrono::seconds(1));
            });
            wait_for_first_frame_pass();
            pthread_kill(threads.frame.native_handle(), SIGFPE);
            threads.frame.join();
        },
        ::testing::ExitedWithCode(critical_exit_code), box_words);
}
