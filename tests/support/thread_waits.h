// Bounded waits for the platform threads: a test that runs the program,
// timer and frame threads waits for them only so long, so that a fault
// which keeps them running (a thread that never parks, an exit sequence that
// never begins) fails the test in seconds, naming what it waited for,
// instead of hanging it.
#pragma once

#include <chrono>
#include <functional>

#include "platform/threads/platform_threads.h"

namespace testing_support {

// Far longer than the threads need for anything the tests ask of them (well
// under a second, under the sanitizers too).
inline constexpr std::chrono::seconds thread_wait_bound{10};

// Looks every few milliseconds (as the window looks for frames) until
// `condition` holds; false when the bound passes first.
bool wait_until(const std::function<bool()>& condition, std::chrono::milliseconds bound = thread_wait_bound);

// Joins the three threads once `process_ended` tells that the exit sequence
// has called the end_process hook. When that does not come within the bound,
// the test fails with what the exit sequence still waits for, and the test
// program ends there: threads that never end cannot be joined.
void join_after_process_end(platform::platform_threads& threads, const std::function<bool()>& process_ended);

} // namespace testing_support
