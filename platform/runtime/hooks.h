// The runtime's contact points with time, the operating system and the user
// that a front end may replace: sleeping in a poll, parking the program thread
// for good, ending the process and showing a modal message box.
//
// The window front end keeps the real behaviour (sleep, park for ever, exit,
// an X11 box); the headless front end replaces them so that a test can step
// the routine's waits, catch its parking and answer its boxes.
#pragma once

#include <functional>
#include <string>

namespace platform {

// Where a poll happens; a scripted keyboard uses it to decide when to type.
enum class poll_site {
    entry_wait,      // line entry, before each read of a key (10 ms)
    key_read,        // the zero-length yield inside read_key
    closing_discard, // closing prompt, discarding keys typed before it
    closing_wait,    // closing prompt, waiting for a new key (100 ms)
    held,            // event check, held by a pause (10 ms)
    bell,            // code 7 in a printed text (250 ms)
    mode_handover,   // screen-mode change waiting for the frame builder
    parked,          // a parked thread (16 ms)
    other,
};

enum class box_buttons { ok, yes_no };
enum class box_answer { ok, yes, no };

struct runtime_hooks {
    std::function<void(poll_site, int milliseconds)> sleep;
    std::function<void()> park;                     // never returns
    std::function<void(int exit_code)> end_process; // never returns
    std::function<box_answer(const std::string& caption, const std::string& text, box_buttons)> message_box;
};

runtime_hooks& hooks();

// Restores the real behaviour of every hook.
void install_default_hooks();

void poll_sleep(poll_site site, int milliseconds);

} // namespace platform
