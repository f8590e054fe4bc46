// The probe routines of the real-window tests.
#include "probe_routines.h"

#include <cstdio>
#include <string>

#include "platform/entry/closing_prompt.h"
#include "platform/keys/keyboard.h"
#include "platform/keys/read_key.h"
#include "platform/runtime/event_check.h"
#include "platform/runtime/temp_strings.h"
#include "platform/screen/page.h"
#include "platform/screen/screen_mode.h"
#include "platform/screen/window_settings.h"
#include "platform/text/text_output.h"
#include "winding/winding_program.h"

namespace probes {

using platform::end_of_statement;

namespace {

void set_up(const char* title) {
    platform::set_screen_mode(12);
    end_of_statement(1);
    platform::set_resize_policy(0, 2);
    end_of_statement(2);
    platform::set_window_title(title);
    end_of_statement(3);
}

std::string hex_bytes(std::string_view key) {
    std::string text;
    for (char c : key) {
        char piece[4];
        std::snprintf(piece, sizeof piece, "%02X ", static_cast<unsigned char>(c));
        text += piece;
    }
    return text;
}

} // namespace

[[noreturn]] void key_probe() {
    const std::size_t mark = platform::temp_string_mark();
    set_up("KEY PROBE");
    platform::print_string("KEYS READ:", true);
    end_of_statement(4);
    for (;;) {
        end_of_statement(5);
        const std::string key(platform::read_key());
        platform::release_temp_strings(mark);
        if (key.empty()) continue;
        const std::string text = hex_bytes(key);
        platform::newline_if_no_fit(text);
        platform::print_string(text, false);
        end_of_statement(6);
    }
}

[[noreturn]] void error_probe() {
    const std::size_t mark = platform::temp_string_mark();
    set_up("ERROR PROBE");
    platform::print_string("BEFORE", true);
    end_of_statement(4);
    platform::locate_cursor(31, 1);
    end_of_statement(7);
    platform::print_string("AFTER", true);
    end_of_statement(8);
    for (;;) {
        end_of_statement(9);
        const bool no_key = platform::read_key().empty();
        platform::release_temp_strings(mark);
        if (!no_key) break;
    }
    platform::end_program();
}

std::function<void()> routine_named(std::string_view name) {
    if (name == "winding") return [] { winding::winding_program(); };
    if (name == "keys") return [] { key_probe(); };
    if (name == "error") return [] { error_probe(); };
    return {};
}

} // namespace probes
