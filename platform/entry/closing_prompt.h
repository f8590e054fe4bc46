// The closing prompt with which every run of the routine ends.
#pragma once

namespace platform {

// "Press any key to continue" on row 30, keys typed before it discarded, a
// new key (looked for every 100 ms), then program_finished and the program
// thread parked. A stop request parks it at the next look. Never returns.
[[noreturn]] void end_program();

} // namespace platform
