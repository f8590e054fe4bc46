#include "platform/event_check.h"

#include "platform/runtime_errors.h"
#include "platform/runtime_hooks.h"

namespace platform {

void check_statement_events(int statement) {
    runtime_flags& f = flags();
    f.event_pending.store(0);
    while ((f.paused.load() & 1) != 0 || f.stop_requested.load() != 0) {
        if (f.stop_requested.load() != 0) stop_and_wait();
        poll_sleep(poll_site::held, 10);
    }
    if (f.error_pending.load() != 0) {
        f.error_line.store(statement);
        show_runtime_error();
    }
}

[[noreturn]] void stop_and_wait() {
    flags().parked_threads.fetch_or(parked_program_bit);
    // The park hook waits for stop_requested and then for ever; the headless
    // front end leaves the routine from here instead.
    for (;;) hooks().park();
}

} // namespace platform
