// The check that follows every statement of the routine while event_pending
// is set.
#pragma once

#include "platform/runtime/flags.h"

namespace platform {

// Clears event_pending; holds while paused (parking on a stop request); then
// reports a pending runtime error with the statement number.
void check_statement_events(int statement);

// The frame after a statement: one read of event_pending, and the check only
// when something is pending.
inline void end_of_statement(int statement) {
    if (flags().event_pending.load() != 0) check_statement_events(statement);
}

} // namespace platform
