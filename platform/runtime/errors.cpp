#include "platform/runtime/errors.h"

#include "platform/runtime/flags.h"
#include "platform/runtime/hooks.h"
#include "platform/runtime/parking.h"

namespace platform {

namespace {

bool is_critical(int code) { return code > critical_code_offset; }

std::string error_message(int code) {
    switch (code) {
        case illegal_function_call: return "Illegal function call";
        case overflow: return "Overflow";
        case out_of_memory: return "Out of memory";
        case subscript_out_of_range: return "Subscript out of range";
        case division_by_zero: return "Division by zero";
        default: return "Unprintable error";
    }
}

} // namespace

[[noreturn]] void critical_error(const std::string& caption, const std::string& text) {
    hooks().message_box(caption, text, box_buttons::ok);
    hooks().end_process(critical_exit_code);
    for (;;) hooks().park();
}

[[noreturn]] void raise_critical_error(int code) {
    critical_error("Critical Error #" + std::to_string(code - critical_code_offset), "Out of memory");
}

int raise_error(int code) {
    if (is_critical(code)) raise_critical_error(code);
    if (code <= 0) code = illegal_function_call;
    runtime_flags& f = flags();
    int none = 0;
    if (f.error_pending.compare_exchange_strong(none, code)) {
        f.event_pending.store(1);
    }
    return f.error_pending.load();
}

void show_runtime_error() {
    runtime_flags& f = flags();
    const int code = f.error_pending.load();
    const std::string caption = "Unhandled Error #" + std::to_string(code);
    const std::string text = "Line:" + std::to_string(f.error_line.load()) + "\n" + error_message(code) + "\nContinue?";
    const box_answer answer = hooks().message_box(caption, text, box_buttons::yes_no);
    if (answer == box_answer::yes) {
        f.error_pending.store(0);
        return;
    }
    f.program_finished.store(1);
    stop_and_wait();
}

} // namespace platform
