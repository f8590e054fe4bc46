// Runtime errors raised by platform operations, the box that reports them at
// the next statement check, and the critical errors that end the process.
#pragma once

#include <string>

namespace platform {

inline constexpr int illegal_function_call = 5;

// Critical codes (above 500): a box with OK at once, then the process ends;
// the caption shows the code less 500.
inline constexpr int out_of_memory_variables = 504;  // "Critical Error #4"
inline constexpr int out_of_memory_snapshot = 516;       // "Critical Error #16"
inline constexpr int out_of_memory_scratch = 517;        // "Critical Error #17"

// Exit code of a process ended by a critical error: a failure, not success.
inline constexpr int critical_exit_code = 1;

// Sets error_pending (first error wins; a code of 0 or below becomes 5) and
// event_pending; a critical code shows its box and ends the process at once.
// Gives back the code that is pending afterwards.
int raise_error(int code);

// The message of a runtime error code.
std::string error_message(int code);

// Shows the runtime error box for error_pending and error_line. Yes clears the
// error and returns; No sets program_finished and parks the thread.
void show_runtime_error();

// A critical error: a box with OK, then the process ends.
[[noreturn]] void critical_error(const std::string& caption, const std::string& text);

// Handler of the arithmetic-exception signal. A signal handler may do next
// to nothing safely, so it only records the signal and holds the thread
// that received it for good (returning would run a faulting division
// again); the frame thread reports it with report_float_exception. Received
// on the frame thread itself, it writes the box's caption and text to stderr
// and ends the process at once.
extern "C" void on_float_exception(int signal_number);

// Marks the calling thread (the frame thread) as the one that reports the
// arithmetic-exception signal.
void become_float_exception_reporter();

// When the arithmetic-exception signal has come: the critical box "Division
// by zero", then the end of the process. Nothing otherwise.
void report_float_exception();

} // namespace platform
