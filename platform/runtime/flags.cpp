#include "platform/runtime/flags.h"

namespace platform {

void reset_flags() {
    runtime_flags& f = flags();
    f.event_pending = 0;
    f.stop_requested = 0;
    f.paused = 0;
    f.error_pending = 0;
    f.error_line = 0;
    f.program_finished = 0;
    f.close_request = 0;
    f.parked_threads = 0;
    f.exit_code = 0;
}

} // namespace platform
