#include "platform/runtime/parking.h"

#include "platform/runtime/flags.h"
#include "platform/runtime/hooks.h"

namespace platform {

[[noreturn]] void stop_and_wait() {
    flags().parked_threads.fetch_or(parked_program_bit);
    // The park hook waits for stop_requested and then for ever; the headless
    // front end leaves the routine from here instead.
    for (;;) hooks().park();
}

} // namespace platform
