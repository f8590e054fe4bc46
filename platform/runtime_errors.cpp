#include "platform/runtime_errors.h"

#include <unistd.h>

#include <atomic>

#include "platform/event_check.h"
#include "platform/runtime_flags.h"
#include "platform/runtime_hooks.h"

namespace platform {

namespace {

bool is_critical(int code) { return code > 500; }

constexpr const char* float_exception_caption = "Critical Error";
constexpr const char* float_exception_text = "Division by zero";

// Written in the signal handler: a lock-free atomic store is safe there.
std::atomic<bool> float_exception_received{false};
static_assert(std::atomic<bool>::is_always_lock_free);

thread_local bool reports_float_exception = false;

void write_to_stderr(const char* text) {
    std::size_t length = 0;
    while (text[length] != '\0') ++length;
    if (write(STDERR_FILENO, text, length) < 0) {
        // Nothing more can be done about a lost stderr.
    }
}

} // namespace

std::string error_message(int code) {
    switch (code) {
        case 5: return "Illegal function call";
        case 6: return "Overflow";
        case 7: return "Out of memory";
        case 9: return "Subscript out of range";
        case 11: return "Division by zero";
        default: return "Unprintable error";
    }
}

[[noreturn]] void critical_error(const std::string& caption, const std::string& text) {
    hooks().message_box(caption, text, box_buttons::ok);
    hooks().end_process(critical_exit_code);
    for (;;) hooks().park();
}

int raise_error(int code) {
    if (is_critical(code)) {
        critical_error("Critical Error #" + std::to_string(code - 500), "Out of memory");
    }
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
    const std::string text =
        "Line:" + std::to_string(f.error_line.load()) + "\n" + error_message(code) + "\nContinue?";
    const box_answer answer = hooks().message_box(caption, text, box_buttons::yes_no);
    if (answer == box_answer::yes) {
        f.error_pending.store(0);
        return;
    }
    f.program_finished.store(1);
    stop_and_wait();
}

extern "C" void on_float_exception(int) {
    float_exception_received.store(true);
    if (reports_float_exception) {
        // No other thread would report it: the box's words, then the end.
        write_to_stderr(float_exception_caption);
        write_to_stderr("\n");
        write_to_stderr(float_exception_text);
        write_to_stderr("\n");
        _exit(critical_exit_code);
    }
    for (;;) pause();
}

void become_float_exception_reporter() { reports_float_exception = true; }

void report_float_exception() {
    if (float_exception_received.load()) critical_error(float_exception_caption, float_exception_text);
}

} // namespace platform
