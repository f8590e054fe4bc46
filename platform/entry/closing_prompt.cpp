#include "platform/entry/closing_prompt.h"

#include <cstddef>

#include "platform/keys/read_key.h"
#include "platform/runtime/flags.h"
#include "platform/runtime/hooks.h"
#include "platform/runtime/parking.h"
#include "platform/runtime/program_activity.h"
#include "platform/runtime/temp_strings.h"
#include "platform/text/text_output.h"

namespace platform {

namespace {

constexpr int closing_poll_ms = 100;
constexpr int prompt_row = 30;

} // namespace

[[noreturn]] void end_program() {
    activity_scope closing(program_activity::closing_prompt);
    runtime_flags& f = flags();
    const std::size_t mark = temp_string_mark();
    set_text_window(prompt_row, prompt_row);
    print_string(empty_text, true);
    print_string("Press any key to continue", false);
    // Keys typed before the prompt do not count.
    while (!read_key().empty()) {
        release_temp_strings(mark);
        poll_sleep(poll_site::closing_discard, 0);
    }
    release_temp_strings(mark);
    for (;;) {
        poll_sleep(poll_site::closing_wait, closing_poll_ms);
        if (f.stop_requested.load() != 0) stop_and_wait();
        const bool got_key = !read_key().empty();
        release_temp_strings(mark);
        if (got_key) break;
    }
    f.program_finished.store(1);
    stop_and_wait();
}

} // namespace platform
