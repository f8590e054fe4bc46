#include "platform/runtime/float_exception.h"

#include <unistd.h>

#include <atomic>
#include <csignal>

#include "platform/runtime/errors.h"

namespace platform {

namespace {

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

void install_float_exception_handler() { std::signal(SIGFPE, on_float_exception); }

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
