// The timer and frame thread loops, the exit sequence and the start of the threads.
#include "platform/threads/platform_threads.h"

#include <system_error>

#include "platform/keys/key_buffer.h"
#include "platform/keys/lock_state.h"
#include "platform/runtime/flags.h"
#include "platform/runtime/float_exception.h"
#include "platform/runtime/hooks.h"
#include "platform/screen/frame_builder.h"
#include "platform/screen/page.h"
#include "platform/screen/screen_mode.h"

namespace platform {

namespace {

constexpr int frame_pass_sleep_ms = 15;
constexpr int frame_pass_tail_ms = 1;
constexpr int timer_poll_ms = 1;
constexpr int exit_poll_ms = 16;
constexpr int all_parked = parked_program_bit | finished_timer_bit;

} // namespace

void prepare_runtime() {
    key_buffer().clear();
    active_page();
}

void timer_thread_loop() {
    runtime_flags& f = flags();
    while (f.stop_requested.load() == 0) poll_sleep(poll_site::other, timer_poll_ms);
    f.parked_threads.fetch_or(finished_timer_bit);
}

void frame_thread_loop() {
    runtime_flags& f = flags();
    set_frame_builder_running(true);
    become_float_exception_reporter();
    lock_key_reporter locks;
    for (bool building_pass = true;; building_pass = !building_pass) {
        report_float_exception();
        if (f.close_request.load() != 0) break;
        if (building_pass) frames().run_building_pass();
        else locks.poll(published_lock_states());
        poll_sleep(poll_site::other, frame_pass_sleep_ms);
        poll_sleep(poll_site::other, frame_pass_tail_ms);
        if (f.program_finished.load() != 0) break;
    }
    exit_sequence();
}

void exit_sequence() {
    runtime_flags& f = flags();
    // The request flag before event_pending: the event check clears
    // event_pending first and reads stop_requested after, so it cannot miss it.
    f.stop_requested.store(1);
    f.event_pending.store(1);
    // A thread held by the arithmetic-exception signal never parks: its
    // report ends the process instead.
    while (f.parked_threads.load() != all_parked) {
        report_float_exception();
        poll_sleep(poll_site::other, exit_poll_ms);
    }
    hooks().end_process(f.exit_code.load());
}

platform_threads start_platform_threads(std::function<void()> program_entry) {
    platform_threads threads;
    try {
        threads.program = std::thread(std::move(program_entry));
        threads.timer = std::thread(timer_thread_loop);
        threads.frame = std::thread(frame_thread_loop);
    } catch (const std::system_error&) {
        // A joinable thread left to its destructor would end the process
        // by std::terminate, before the caller could say why.
        for (std::thread* started : {&threads.program, &threads.timer, &threads.frame}) {
            if (started->joinable()) started->detach();
        }
        throw;
    }
    return threads;
}

} // namespace platform
