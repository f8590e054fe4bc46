// The program's start: the platform threads, then the window on the main
// thread, which becomes the window thread and never returns.
#pragma once

namespace platform {

// Starts the program thread with `program_entry`, the timer and frame
// threads, then creates the window and runs its event loop. Returns (with
// a non-zero exit code) only when no window can be had: no display, or no
// double-buffered RGBA mode with a depth buffer.
int runtime_main(void (*program_entry)());

} // namespace platform
