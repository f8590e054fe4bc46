#include "platform/runtime/temp_strings.h"

namespace platform {

namespace {

std::deque<std::string>& pieces() {
    static std::deque<std::string> all;
    return all;
}

} // namespace

std::string_view make_temp_string(std::string text) {
    pieces().push_back(std::move(text));
    return pieces().back();
}

std::size_t temp_string_mark() { return pieces().size(); }

void release_temp_strings(std::size_t mark) {
    auto& all = pieces();
    while (all.size() > mark) all.pop_back();
}

std::size_t live_temp_strings() { return pieces().size(); }

} // namespace platform
