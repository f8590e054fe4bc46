// Parking the program thread for good: the place where every way of stopping
// the routine ends, while the frame thread ends the process around it.
#pragma once

namespace platform {

// Marks the program thread parked (bit 0 of parked_threads) and never returns.
[[noreturn]] void stop_and_wait();

} // namespace platform
