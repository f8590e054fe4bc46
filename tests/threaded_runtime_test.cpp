// The whole routine on the real program, timer and frame threads, without a
// window: keys come from this thread as the window thread would send them,
// and the frames that the frame thread builds are read as the window reads
// them. Also the run that the thread sanitizer build checks for races.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <string>
#include <thread>
#include <vector>

#include "platform/headless/headless_runtime.h"
#include "platform/keys/keyboard.h"
#include "platform/runtime/flags.h"
#include "platform/runtime/hooks.h"
#include "platform/screen/frame_builder.h"
#include "platform/screen/page.h"
#include "platform/screen/screen_mode.h"
#include "platform/threads/platform_threads.h"
#include "support/thread_waits.h"
#include "winding/winding_program.h"

using namespace platform;
using namespace std::chrono_literals;

namespace {

struct program_left {};

// The program thread parks as the real one does, until the exit sequence's
// stop request, and then leaves the routine so that the thread can be joined.
void park_until_stopped() {
    if (flags().stop_requested.load() != 0) throw program_left{};
    std::this_thread::sleep_for(1ms);
}

std::vector<std::uint32_t> as_frame(const drawing_page& page) {
    std::vector<std::uint32_t> out(page.pixels.size());
    for (std::size_t i = 0; i < out.size(); ++i) out[i] = page.page_palette[page.pixels[i]];
    return out;
}

// The page that the headless routine leaves after these keys.
std::vector<std::uint32_t> headless_frame(const std::string& keys) {
    run_options options;
    options.keys = typed(keys);
    run_headless([] { winding::winding_program(); }, options);
    return as_frame(active_page());
}

void type(const std::string& keys) {
    for (char c : keys) {
        const key_event key = key_event::character(static_cast<std::uint8_t>(c));
        handle_key_down(key);
        handle_key_up(key);
    }
}

// Waits, looking as the window does every few milliseconds, until the newest
// frame equals `expected`; gives up after the bound of the thread waits so
// that a fault fails the test instead of hanging it.
bool frame_becomes(const std::vector<std::uint32_t>& expected) {
    return testing_support::wait_until([&] {
        const frame* f = frames().newest_frame();
        return f != nullptr && f->pixels == expected;
    });
}

class ThreadedRuntime : public testing::Test {
protected:
    // Starts the routine on its threads, with the end of the process caught.
    void start_routine() {
        reset_runtime();
        hooks().end_process = [this](int code) { exit_code.store(code); };
        hooks().park = park_until_stopped;
        threads = start_platform_threads([] {
            try {
                winding::winding_program();
            } catch (const program_left&) {
            }
        });
    }

    // The frame thread ends after the exit sequence, the others once parked.
    void join_threads() {
        testing_support::join_after_process_end(threads, [this] { return exit_code.load() != -1; });
    }

    std::atomic<int> exit_code{-1};
    platform_threads threads;

    void TearDown() override {
        install_default_hooks();
        set_frame_builder_running(false);
        reset_runtime();
    }
};

} // namespace

TEST_F(ThreadedRuntime, RoutineRunsToTheEndAndTheFramesShowItsPages) {
    const std::vector<std::uint32_t> finished = headless_frame("4\r21\r1\r");
    const std::vector<std::uint32_t> prompt = headless_frame("4\r21\r1\r ");

    start_routine();

    type("4\r21\r1\r");
    EXPECT_TRUE(frame_becomes(finished));
    type(" ");
    EXPECT_TRUE(frame_becomes(prompt));
    type("x"); // ends the closing prompt: program_finished, then the exit sequence
    join_threads();
    EXPECT_EQ(exit_code.load(), 0);
    EXPECT_EQ(flags().program_finished.load(), 1);
    EXPECT_EQ(flags().parked_threads.load(), 3);
}

TEST_F(ThreadedRuntime, CloseRequestWhileAnEntryWaitsEndsTheProcess) {
    start_routine();
    type("4");
    // The close box, as the window thread reports it.
    flags().close_request.fetch_or(1);
    join_threads();
    EXPECT_EQ(exit_code.load(), 0);
    EXPECT_EQ(flags().parked_threads.load(), 3);
    EXPECT_EQ(flags().program_finished.load(), 0);
}
