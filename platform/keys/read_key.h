// The routine's read of one key from the key buffer.
#pragma once

#include <string_view>

namespace platform {

// The next key from the key buffer as a temporary text: "" when none waits,
// the character, or a NUL and the extended code. Never waits, but yields the
// processor once.
std::string_view read_key();

} // namespace platform
