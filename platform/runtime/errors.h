// Runtime errors raised by platform operations, the box that reports them at
// the next statement check, and the critical errors that end the process.
#pragma once

#include <string>

namespace platform {

// Codes of the runtime errors, with the messages the error box shows.
inline constexpr int illegal_function_call = 5;  // "Illegal function call"
inline constexpr int overflow = 6;               // "Overflow"
inline constexpr int out_of_memory = 7;          // "Out of memory"
inline constexpr int subscript_out_of_range = 9; // "Subscript out of range"
inline constexpr int division_by_zero = 11;      // "Division by zero"

// Critical codes lie above this offset: a box with OK at once, then the
// process ends; the caption shows the code less the offset.
inline constexpr int critical_code_offset = 500;
inline constexpr int out_of_memory_variables = critical_code_offset + 4; // "Critical Error #4"
inline constexpr int out_of_memory_snapshot = critical_code_offset + 16; // "Critical Error #16"
inline constexpr int out_of_memory_scratch = critical_code_offset + 17;  // "Critical Error #17"

// Exit code of a process ended by a critical error: a failure, not success.
inline constexpr int critical_exit_code = 1;

// Sets error_pending (first error wins; a code of 0 or below becomes 5) and
// event_pending; a critical code is passed to raise_critical_error.
// Gives back the code that is pending afterwards.
int raise_error(int code);

// Raises a critical code (above critical_code_offset): its box with OK, then
// the process ends.
[[noreturn]] void raise_critical_error(int code);

// Shows the runtime error box for error_pending and error_line. Yes clears the
// error and returns; No sets program_finished and parks the thread.
void show_runtime_error();

// A critical error: a box with OK, then the process ends.
[[noreturn]] void critical_error(const std::string& caption, const std::string& text);

} // namespace platform
