#include "platform/runtime/event_check.h"

#include "platform/runtime/errors.h"
#include "platform/runtime/hooks.h"
#include "platform/runtime/parking.h"

namespace platform {

namespace {

constexpr int held_poll_ms = 10;

} // namespace

void check_statement_events(int statement) {
    runtime_flags& f = flags();
    f.event_pending.store(0);
    while ((f.paused.load() & pause_hold_bit) != 0 || f.stop_requested.load() != 0) {
        if (f.stop_requested.load() != 0) stop_and_wait();
        poll_sleep(poll_site::held, held_poll_ms);
    }
    if (f.error_pending.load() != 0) {
        f.error_line.store(statement);
        show_runtime_error();
    }
}

} // namespace platform
