#include "platform/headless/headless_runtime.h"

#include <cstddef>
#include <cstdio>
#include <ostream>
#include <utility>

#include "platform/keys/key_buffer.h"
#include "platform/runtime/flags.h"
#include "platform/runtime/program_activity.h"
#include "platform/runtime/temp_strings.h"
#include "platform/screen/line_drawing.h"
#include "platform/screen/page.h"
#include "platform/screen/screen_mode.h"
#include "platform/screen/window_settings.h"

namespace platform {

namespace {

struct stopped {
    run_end end;
    int exit_code;
};

bool is_waiting_site(poll_site site) {
    switch (site) {
        case poll_site::entry_wait:
        case poll_site::closing_wait:
        case poll_site::held: return true;
        case poll_site::key_read: return current_activity() == program_activity::running;
        default: return false;
    }
}

run_end waiting_state(poll_site site) {
    switch (site) {
        case poll_site::entry_wait: return run_end::entry_waiting;
        case poll_site::closing_wait: return run_end::closing_prompt;
        case poll_site::held: return run_end::held;
        default: return run_end::key_waiting;
    }
}

void apply(const script_step& step) {
    switch (step.action) {
        case key_action::tap:
            handle_key_down(step.key);
            handle_key_up(step.key);
            break;
        case key_action::press: handle_key_down(step.key); break;
        case key_action::release: handle_key_up(step.key); break;
    }
}

class scripted_keyboard {
public:
    explicit scripted_keyboard(key_script keys) : keys_(std::move(keys)) {}

    bool done() const { return next_ >= keys_.size(); }
    std::size_t left() const { return keys_.size() - next_; }

    // Types up to and including the next tap; presses and releases of
    // modifiers before it take effect at once.
    void type_next() {
        while (next_ < keys_.size()) {
            const script_step& step = keys_[next_++];
            apply(step);
            if (step.action == key_action::tap) return;
        }
    }

private:
    key_script keys_;
    std::size_t next_ = 0;
};

// Ends the run when a bound is met, saying on stderr which bound and what
// fault it points to: a failing test then shows why the run stopped.
[[noreturn]] void stop_at_bound(run_end bound, std::uint64_t limit, const char* fault) {
    std::fprintf(stderr, "headless run stopped at its bound of %llu %s\n", static_cast<unsigned long long>(limit),
                 fault);
    throw stopped{bound, 0};
}

// Counts the lines the routine draws, for the length of a run, in front of
// the observer a test may have set (which still sees every line).
class line_bound {
public:
    explicit line_bound(std::uint64_t limit) : limit_(limit) {
        outer_ = set_line_observer([this](float x1, float y1, float x2, float y2) {
            if (++lines_ > limit_) {
                stop_at_bound(run_end::line_limit, limit_,
                              "lines: the routine draws without end (a loop that never ends, let through?)");
            }
            if (outer_) outer_(x1, y1, x2, y2);
        });
    }
    ~line_bound() { set_line_observer(std::move(outer_)); }
    line_bound(const line_bound&) = delete;
    line_bound& operator=(const line_bound&) = delete;

private:
    std::uint64_t limit_;
    std::uint64_t lines_ = 0;
    line_observer outer_;
};

} // namespace

key_script typed(std::string_view text) {
    key_script keys;
    for (char c : text) keys.push_back(tap(key_event::character(static_cast<std::uint8_t>(c))));
    return keys;
}

key_script operator+(key_script a, const key_script& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

script_step tap(key_event key) { return {key, key_action::tap}; }
script_step press(key_event key) { return {key, key_action::press}; }
script_step release(key_event key) { return {key, key_action::release}; }

std::string_view to_string(run_end end) {
    switch (end) {
        case run_end::entry_waiting: return "entry_waiting";
        case run_end::key_waiting: return "key_waiting";
        case run_end::closing_prompt: return "closing_prompt";
        case run_end::held: return "held";
        case run_end::parked: return "parked";
        case run_end::process_ended: return "process_ended";
        case run_end::poll_limit: return "poll_limit";
        case run_end::line_limit: return "line_limit";
        case run_end::returned: return "returned";
    }
    return "?";
}

std::ostream& operator<<(std::ostream& out, run_end end) { return out << to_string(end); }

void reset_runtime() {
    reset_flags();
    reset_keyboard();
    reset_window_settings();
    reset_active_page();
    release_temp_strings(0);
    set_activity(program_activity::running);
}

run_result run_headless(const std::function<void()>& routine, run_options options) {
    reset_runtime();
    run_result result;
    scripted_keyboard ahead(std::move(options.typed_ahead));
    while (!ahead.done()) ahead.type_next();
    scripted_keyboard keyboard(std::move(options.keys));
    std::size_t next_answer = 0;
    std::uint64_t polls = 0;
    line_bound lines(options.line_limit);

    hooks().sleep = [&](poll_site site, int) {
        if (++polls > options.poll_limit) {
            stop_at_bound(run_end::poll_limit, options.poll_limit,
                          "polls: the routine waits without end (a stop request it does not act on?)");
        }
        if (options.on_poll) options.on_poll(site);
        // A stop request is the routine's to notice at this poll: ending the
        // run here would hide where (and whether) it parks.
        if (flags().stop_requested.load() != 0) return;
        if (!is_waiting_site(site)) return;
        if (!key_buffer().empty()) return;
        if (keyboard.done()) throw stopped{waiting_state(site), 0};
        keyboard.type_next();
    };
    hooks().park = [] { throw stopped{run_end::parked, 0}; };
    hooks().end_process = [](int code) { throw stopped{run_end::process_ended, code}; };
    hooks().message_box = [&](const std::string& caption, const std::string& text, box_buttons buttons) {
        result.boxes.push_back({caption, text, buttons});
        if (buttons == box_buttons::ok) return box_answer::ok;
        return next_answer < options.box_answers.size() ? options.box_answers[next_answer++] : box_answer::yes;
    };

    try {
        routine();
        result.end = run_end::returned;
    } catch (const stopped& s) {
        result.end = s.end;
        result.exit_code = s.exit_code;
    }
    install_default_hooks();
    set_activity(program_activity::running);
    result.keys_left = keyboard.left();
    return result;
}

} // namespace platform
