// The headless front end: runs a routine on the calling thread against a
// scripted keyboard, with the window replaced by nothing, and stops when the
// routine waits for a key that the script does not hold, parks or ends the
// process. The page is then left for the caller to read.
//
// A run is bounded: past a number of polls (a wait that never ends) or of
// lines drawn (a drawing loop that never ends) it stops, says why on stderr
// and reports the bound it met, so that such a fault fails a test at once
// instead of hanging it.
#pragma once

#include <cstdint>
#include <functional>
#include <iosfwd>
#include <string>
#include <string_view>
#include <vector>

#include "platform/keys/keyboard.h"
#include "platform/runtime/hooks.h"

namespace platform {

enum class key_action { tap, press, release };

struct script_step {
    key_event key;
    key_action action = key_action::tap;
};

using key_script = std::vector<script_step>;

// Taps of the characters of `text` ("\r" is Enter, "\b" Backspace, "\t" Tab).
key_script typed(std::string_view text);
key_script operator+(key_script a, const key_script& b);
script_step tap(key_event key);
script_step press(key_event key);
script_step release(key_event key);

// Where the routine was when the run ended.
enum class run_end {
    entry_waiting,  // a line entry waits for a key
    key_waiting,    // the final key wait polls
    closing_prompt, // the closing prompt waits for a key
    held,           // held by a pause in an event check
    parked,         // stop_and_wait was called
    process_ended,  // a critical error ended the process
    poll_limit,     // the run took more polls than allowed
    line_limit,     // the run drew more lines than allowed
    returned,       // the routine returned (the real routine never does)
};

std::string_view to_string(run_end end);
// The name, so that a failed comparison of two ends reads as words.
std::ostream& operator<<(std::ostream& out, run_end end);

struct shown_box {
    std::string caption;
    std::string text;
    box_buttons buttons;
};

struct run_options {
    key_script keys;
    // Keys put into the key buffer before the routine starts (type-ahead).
    key_script typed_ahead;
    // Answers to the message boxes, in order; Yes when none is left.
    std::vector<box_answer> box_answers;
    // Called at every poll, before the scripted keyboard types; a test can
    // raise flags from here (a stop request, say). While stop_requested is
    // set the run does not end at a waiting poll: the routine is left to
    // notice the request and park.
    std::function<void(poll_site)> on_poll;
    // Bound on the number of polls, so a run that would wait for ever ends.
    // The longest runs of the tests take about 100,000.
    std::uint64_t poll_limit = 2'000'000;
    // Bound on the number of lines drawn, so a run whose drawing would never
    // end (data with a loop that never ends, let through) ends. The largest
    // diagrams of the unit tests draw about 1.2 million lines; a run that
    // draws more sets its own bound.
    std::uint64_t line_limit = 5'000'000;
};

struct run_result {
    run_end end = run_end::parked;
    int exit_code = 0;
    std::vector<shown_box> boxes;
    std::size_t keys_left = 0;
};

// Resets the whole runtime (flags, page, keys, window settings, temporary
// texts) to its start-up state.
void reset_runtime();

// Resets the runtime and runs `routine` until it stops (see run_end).
run_result run_headless(const std::function<void()>& routine, run_options options);

} // namespace platform
