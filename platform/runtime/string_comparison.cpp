#include "platform/runtime/string_comparison.h"

namespace platform {

std::int32_t strings_equal(std::string_view a, std::string_view b) { return a == b ? -1 : 0; }
std::int32_t strings_differ(std::string_view a, std::string_view b) { return a != b ? -1 : 0; }

} // namespace platform
