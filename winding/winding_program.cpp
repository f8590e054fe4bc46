// The routine, statement by statement. Each statement carries its source line
// number, and the event check that follows it (a single read of
// event_pending when nothing is pending) names that number.
#include "winding/winding_program.h"

#include <cstddef>

#include "platform/event_check.h"
#include "platform/fpu_control.h"
#include "platform/keyboard.h"
#include "platform/page.h"
#include "platform/temp_strings.h"
#include "platform/text_output.h"
#include "platform/window_settings.h"
#include "winding/winding_variables.h"

namespace winding {

using platform::end_of_statement;

namespace {

constexpr const char* window_caption = "DC MOTOR WINDINGS: TWO LAYER, MULTIPLEX WAVE WINDING";

} // namespace

[[noreturn]] void winding_program() {
    // Prologue: a 64-bit mantissa for every expression, the handler of the
    // arithmetic-exception signal, the mark of the temporary texts, and the
    // 20 cells set to 0.
    platform::set_extended_precision();
    platform::install_float_exception_handler();
    const std::size_t mark = platform::temp_string_mark();
    winding_variables& v = allocate_variables();

    v.origin_x = 86;
    end_of_statement(2);
    v.origin_y = 70;
    end_of_statement(3);
    platform::set_screen_mode(12);
    end_of_statement(5);
    platform::set_resize_policy(0, 2);
    end_of_statement(9);
    platform::set_window_title(platform::make_temp_string(window_caption));
    platform::release_temp_strings(mark);
    end_of_statement(12);

    // Final key wait: a label and a jump back to it while no key waits.
    for (;;) {
        end_of_statement(123);
        const bool no_key = platform::strings_equal(platform::read_key(), platform::empty_text) != 0;
        platform::release_temp_strings(mark);
        if (!no_key) break;
        end_of_statement(123);
    }
    platform::end_program();
}

void program_thread_entry() { winding_program(); }

} // namespace winding
