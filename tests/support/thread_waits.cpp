#include "support/thread_waits.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>

#include "platform/runtime/flags.h"

namespace testing_support {

namespace {

// What keeps the process from ending, read from the flags the threads meet through.
std::string what_the_exit_waits_for() {
    const platform::runtime_flags& f = platform::flags();
    if (f.stop_requested.load() == 0) return "the exit sequence never began (no stop request)";
    const int parked = f.parked_threads.load();
    const bool program_parked = (parked & platform::parked_program_bit) != 0;
    const bool timer_finished = (parked & platform::finished_timer_bit) != 0;
    if (!program_parked && !timer_finished) {
        return "the exit sequence waits for ever: the program thread never parked and the timer thread never finished";
    }
    if (!program_parked) return "the exit sequence waits for ever: the program thread never parked";
    if (!timer_finished) return "the exit sequence waits for ever: the timer thread never finished";
    return "both threads are parked, but the exit sequence never ended the process";
}

} // namespace

bool wait_until(const std::function<bool()>& condition, std::chrono::milliseconds bound) {
    const auto give_up = std::chrono::steady_clock::now() + bound;
    while (!condition()) {
        if (std::chrono::steady_clock::now() >= give_up) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}

void join_after_process_end(platform::platform_threads& threads, const std::function<bool()>& process_ended) {
    if (!wait_until(process_ended)) {
        ADD_FAILURE() << "the process did not end within " << thread_wait_bound.count()
                      << " s: " << what_the_exit_waits_for();
        std::fflush(stdout);
        std::fflush(stderr);
        std::_Exit(EXIT_FAILURE);
    }
    threads.frame.join();
    threads.timer.join();
    threads.program.join();
}

} // namespace testing_support
