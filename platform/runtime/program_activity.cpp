#include "platform/runtime/program_activity.h"

#include <atomic>

namespace platform {

namespace {

std::atomic<program_activity> activity{program_activity::running};

} // namespace

program_activity current_activity() { return activity.load(); }
void set_activity(program_activity a) { activity.store(a); }

activity_scope::activity_scope(program_activity a) : previous_(current_activity()) { set_activity(a); }
activity_scope::~activity_scope() { set_activity(previous_); }

} // namespace platform
