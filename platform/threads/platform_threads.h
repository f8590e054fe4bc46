// The platform threads besides the window thread: the program thread that
// runs the routine, the timer thread and the frame thread, and the exit
// sequence with which the frame thread ends the process.
#pragma once

#include <functional>
#include <thread>

namespace platform {

// Start-up before the threads: empties the key buffer and opens the initial
// text page.
void prepare_runtime();

// Polls armed timers every 1 ms (the routine arms none); when it sees
// stop_requested it marks itself finished (bit 1 of parked_threads) and ends.
void timer_thread_loop();

// Passes of 15 + 1 ms: a building pass and a lock-key poll in turn, the
// first pass building; each pass first reports an arithmetic-exception
// signal that has come. Leaves on close_request (at the top of a pass) or
// program_finished (after the sleeps) and runs the exit sequence.
void frame_thread_loop();

// Asks the program thread to stop, waits for it to park and for the timer
// thread to finish, and ends the process with exit_code (the routine opens
// no files, so there are none to close). Returns only when the end_process
// hook does (tests).
void exit_sequence();

struct platform_threads {
    std::thread program;
    std::thread timer;
    std::thread frame;
};

// Starts the program, timer and frame threads in that order. Throws
// std::system_error when one cannot be started; those started before it are
// detached, so that the caller can end the process with its own message.
platform_threads start_platform_threads(std::function<void()> program_entry);

} // namespace platform
