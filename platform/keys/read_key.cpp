#include "platform/keys/read_key.h"

#include <optional>
#include <string>

#include "platform/keys/key_buffer.h"
#include "platform/runtime/flags.h"
#include "platform/runtime/hooks.h"
#include "platform/runtime/temp_strings.h"

namespace platform {

std::string_view read_key() {
    if (error_is_pending()) return empty_text;
    poll_sleep(poll_site::key_read, 0);
    const std::optional<key_slot> key = key_buffer().pop();
    if (!key) return empty_text;
    if (key->character != 0) return make_temp_string(std::string(1, static_cast<char>(key->character)));
    if (key->scan == 0) return make_temp_string(std::string(1, '\0'));
    return make_temp_string(std::string{'\0', static_cast<char>(key->scan)});
}

} // namespace platform
