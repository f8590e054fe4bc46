// The arithmetic-exception signal and its critical box "Division by zero".
//
// A signal handler may do next to nothing safely, so the handler only
// records the signal and holds the thread that received it for good
// (returning would run a faulting division again); the frame thread, at its
// next pass, shows the box and ends the process. Received on the frame thread
// itself, it writes the box's caption and text to stderr and ends the
// process at once.
#pragma once

namespace platform {

// Installs on_float_exception as the handler of the arithmetic-exception signal.
void install_float_exception_handler();

// The handler.
extern "C" void on_float_exception(int signal_number);

// Marks the calling thread (the frame thread) as the one that reports the signal.
void become_float_exception_reporter();

// When the signal has come: the critical box, then the end of the process.
// Nothing otherwise.
void report_float_exception();

} // namespace platform
