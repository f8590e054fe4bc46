// The flags through which the program, window, frame and timer threads meet.
//
// Every flag is a std::atomic with sequentially consistent accesses, so each
// thread's writes become visible to the others in the order they were made.
// A requester sets its request flag (stop_requested, paused, error_pending)
// before event_pending; the event check clears event_pending before it reads
// the request flags, so no request is ever lost.
#pragma once

#include <atomic>
#include <cstdint>

namespace platform {

struct runtime_flags {
    std::atomic<int> event_pending{0};
    std::atomic<std::uint8_t> stop_requested{0};
    std::atomic<std::uint8_t> paused{0}; // pause_hold_bit
    std::atomic<int> error_pending{0};   // code of the pending runtime error, 0 = none
    std::atomic<int> error_line{0};      // statement number shown in the error box
    std::atomic<std::uint8_t> program_finished{0};
    std::atomic<int> close_request{0};  // window_closed_bit
    std::atomic<int> parked_threads{0}; // parked_program_bit, finished_timer_bit
    std::atomic<int> exit_code{0};
};

// The bits of the flags that hold bits.
inline constexpr std::uint8_t pause_hold_bit = 1; // paused: hold at the next statement boundary
inline constexpr int window_closed_bit = 1;       // close_request: the user closed the window
inline constexpr int parked_program_bit = 1;      // parked_threads: the program thread is parked
inline constexpr int finished_timer_bit = 2;      // parked_threads: the timer thread is done

// One set for the process. Its atomics start constant-initialised, before
// any thread runs; the accessor is inline, so the statement check's read of
// event_pending is one load and no call.
inline constinit runtime_flags process_flags;

inline runtime_flags& flags() { return process_flags; }

// Puts every flag back to its start-up value (used before each headless run).
void reset_flags();

inline bool error_is_pending() { return flags().error_pending.load() != 0; }

} // namespace platform
