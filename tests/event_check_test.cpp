// The statement frame: the event check after a statement (pause, stop
// request, runtime error box), raise_error, critical errors, and the
// routine's entries and final key wait stopped by a close.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "platform/headless/headless_runtime.h"
#include "platform/keys/key_buffer.h"
#include "platform/runtime/errors.h"
#include "platform/runtime/event_check.h"
#include "platform/runtime/flags.h"
#include "platform/runtime/hooks.h"
#include "platform/runtime/parking.h"
#include "platform/runtime/program_activity.h"
#include "platform/runtime/static_pool.h"
#include "platform/runtime/temp_strings.h"
#include "platform/screen/page.h"
#include "platform/screen/screen_mode.h"
#include "platform/text/text_output.h"
#include "support/page_testing.h"
#include "winding/winding_variables.h"

using namespace platform;
using testing_support::row_text;

namespace {

class StatementFrame : public ::testing::Test {
protected:
    void SetUp() override { reset_runtime(); }
    void TearDown() override {
        install_default_hooks();
        reset_runtime();
    }
};

// 2p = 4, z = 21, m = 1: accepted data, so the routine reaches its final key wait.
key_script worked_example_data() { return typed("4\r21\r1\r"); }

// A small routine whose statement 77 passes a row out of range; each
// statement records that it ran.
struct failing_routine {
    std::vector<int> ran;

    void operator()() {
        set_screen_mode(12);
        ran.push_back(76);
        end_of_statement(76);
        locate_cursor(0, 1);
        print_string("X", false); // does nothing: the error is pending
        ran.push_back(77);
        end_of_statement(77);
        locate_cursor(2, 3);
        ran.push_back(78);
        end_of_statement(78);
        stop_and_wait();
    }
};

TEST_F(StatementFrame, ARuntimeErrorIsReportedAfterItsStatementAndYesGoesOnWithTheNext) {
    failing_routine routine;
    run_options options;
    options.box_answers = {box_answer::yes};
    const run_result r = run_headless(std::ref(routine), std::move(options));

    ASSERT_EQ(r.boxes.size(), 1u);
    EXPECT_EQ(r.boxes[0].caption, "Unhandled Error #5");
    EXPECT_EQ(r.boxes[0].text, "Line:77\nIllegal function call\nContinue?");
    EXPECT_EQ(r.boxes[0].buttons, box_buttons::yes_no);
    EXPECT_EQ(routine.ran, (std::vector<int>{76, 77, 78})); // nothing runs twice
    EXPECT_EQ(flags().error_pending.load(), 0);
    EXPECT_EQ(flags().program_finished.load(), 0);
    EXPECT_EQ(active_page().text_cursor.row, 2);
    EXPECT_EQ(active_page().text_cursor.column, 3);
    EXPECT_EQ(row_text(active_page(), 1), std::string(80, ' '));
    EXPECT_EQ(r.end, run_end::parked);
}

TEST_F(StatementFrame, NoInTheErrorBoxFinishesTheProgramAndParks) {
    failing_routine routine;
    run_options options;
    options.box_answers = {box_answer::no};
    const run_result r = run_headless(std::ref(routine), std::move(options));

    ASSERT_EQ(r.boxes.size(), 1u);
    EXPECT_EQ(routine.ran, (std::vector<int>{76, 77}));
    EXPECT_EQ(r.end, run_end::parked);
    EXPECT_EQ(flags().program_finished.load(), 1);
    EXPECT_EQ(flags().parked_threads.load() & parked_program_bit, parked_program_bit);
    EXPECT_EQ(active_page().text_cursor.row, 1);
}

TEST_F(StatementFrame, AStopRequestParksEvenWhileHeldByAPause) {
    int held_polls = 0;
    std::vector<int> ran;
    run_options options;
    options.typed_ahead = {tap(key_event::pause())};
    options.on_poll = [&](poll_site site) {
        if (site != poll_site::held) return;
        // The close comes while the routine is held.
        if (++held_polls == 1) {
            flags().stop_requested.store(1);
            flags().event_pending.store(1);
        }
    };
    options.poll_limit = 10'000;
    const run_result r = run_headless(
        [&] {
            raise_error(illegal_function_call); // the stop must win over the pending error
            ran.push_back(40);
            end_of_statement(40);
            ran.push_back(41);
            end_of_statement(41);
        },
        std::move(options));

    EXPECT_EQ(r.end, run_end::parked);
    EXPECT_EQ(held_polls, 1);
    EXPECT_EQ(flags().paused.load() & 1, 1); // parked while still held
    EXPECT_EQ(ran, (std::vector<int>{40}));
    EXPECT_TRUE(r.boxes.empty());
    EXPECT_EQ(flags().program_finished.load(), 0);
    EXPECT_EQ(flags().parked_threads.load() & parked_program_bit, parked_program_bit);
}

TEST_F(StatementFrame, APauseHoldsAtTheStatementBoundaryUntilAKeyThatIsNotQueued) {
    std::vector<int> ran;
    bool key_reached_routine = true;
    run_options options;
    options.typed_ahead = {tap(key_event::pause())};
    options.keys = typed("x");
    const run_result r = run_headless(
        [&] {
            ran.push_back(40);
            end_of_statement(40);
            key_reached_routine = !key_buffer().empty();
            ran.push_back(41);
            end_of_statement(41);
            stop_and_wait();
        },
        std::move(options));
    EXPECT_EQ(r.end, run_end::parked);
    EXPECT_EQ(r.keys_left, 0u);
    EXPECT_EQ(ran, (std::vector<int>{40, 41}));
    EXPECT_FALSE(key_reached_routine);
    EXPECT_EQ(flags().paused.load(), 0);
    EXPECT_EQ(flags().event_pending.load(), 0);
}

TEST_F(StatementFrame, RaiseErrorKeepsTheFirstErrorAndTurnsCodesOfZeroOrBelowInto5) {
    EXPECT_EQ(raise_error(7), 7);
    EXPECT_EQ(flags().event_pending.load(), 1);
    EXPECT_EQ(raise_error(5), 7);
    EXPECT_EQ(flags().error_pending.load(), 7);
    for (int code : {0, -3}) {
        reset_flags();
        EXPECT_EQ(raise_error(code), illegal_function_call) << "code " << code;
        EXPECT_EQ(flags().error_pending.load(), illegal_function_call);
        EXPECT_EQ(flags().event_pending.load(), 1);
    }
}

struct critical_case {
    const char* name;
    std::function<void()> fault;
    std::string caption;
    std::string text;
};

TEST_F(StatementFrame, ACriticalErrorShowsItsBoxAndEndsTheProcessAsAFailure) {
    const critical_case cases[] = {
        {"line entry snapshot", [] { raise_error(out_of_memory_snapshot); }, "Critical Error #16", "Out of memory"},
        {"line entry scratch", [] { raise_error(out_of_memory_scratch); }, "Critical Error #17", "Out of memory"},
        {"variable cells", [] { raise_error(out_of_memory_variables); }, "Critical Error #4", "Out of memory"},
        // The line entry and the static pool raise their codes as critical
        // directly.
        {"line entry snapshot, as critical", [] { raise_critical_error(out_of_memory_snapshot); }, "Critical Error #16",
         "Out of memory"},
        {"line entry scratch, as critical", [] { raise_critical_error(out_of_memory_scratch); }, "Critical Error #17",
         "Out of memory"},
        {"variable cells, as critical", [] { raise_critical_error(out_of_memory_variables); }, "Critical Error #4",
         "Out of memory"},
    };
    for (const critical_case& c : cases) {
        SCOPED_TRACE(c.name);
        bool went_on = false;
        const run_result r = run_headless(
            [&] {
                set_screen_mode(12);
                c.fault();
                went_on = true;
                end_of_statement(5);
                stop_and_wait();
            },
            {});
        EXPECT_EQ(r.end, run_end::process_ended);
        EXPECT_EQ(r.exit_code, critical_exit_code);
        EXPECT_NE(r.exit_code, 0);
        ASSERT_EQ(r.boxes.size(), 1u);
        EXPECT_EQ(r.boxes[0].caption, c.caption);
        EXPECT_EQ(r.boxes[0].text, c.text);
        EXPECT_EQ(r.boxes[0].buttons, box_buttons::ok);
        EXPECT_FALSE(went_on);
    }
}

TEST_F(StatementFrame, AStopRequestAloneDuringAnEntryParksRightAfterThatEntry) {
    // A close while an entry waits raises stop_requested alone. The entry
    // returns after that pass's read of a key; with event_pending clear no
    // statement check would see the request, so the entry statement itself
    // parks, before the statement after it runs.
    struct entry_case {
        const char* name;
        const char* typed_before_stop;
        int entries_shown; // prompts on row 4, the last one with the cursor block after its text
        float pole_count, pole_pairs, slot_count, multiplex;
    };
    const entry_case cases[] = {
        {"poles", "4", 1, 4, 0, 0, 0},
        {"slots", "4\r21", 2, 4, 2, 21, 0},
        {"multiplex", "4\r21\r1", 3, 4, 2, 21, 1},
    };
    const struct {
        int column;
        std::string text;
    } row4_pieces[] = {{12, "Number of poles: 4"}, {33, "Number od slots: z=21"}, {56, "Multiplex: m=1"}};
    const char cursor_block = '\xDB';
    for (const entry_case& c : cases) {
        SCOPED_TRACE(c.name);
        bool stopped = false;
        int polls_after_stop = 0;
        poll_site first_after_stop = poll_site::other;
        run_options options;
        options.typed_ahead = typed(c.typed_before_stop);
        options.on_poll = [&](poll_site site) {
            if (stopped) {
                if (++polls_after_stop == 1) first_after_stop = site;
                return;
            }
            // The keys typed so far are taken: the entry waits for the next.
            if (site == poll_site::entry_wait && key_buffer().empty()) {
                stopped = true;
                flags().stop_requested.store(1);
            }
        };
        options.poll_limit = 10'000;
        const run_result r = testing_support::run_winding({}, std::move(options));

        ASSERT_TRUE(stopped);
        EXPECT_EQ(r.end, run_end::parked);
        // Only the entry's read of a key, in the pass that saw the stop.
        EXPECT_EQ(polls_after_stop, 1);
        EXPECT_EQ(first_after_stop, poll_site::key_read);
        EXPECT_EQ(flags().event_pending.load(), 0);
        EXPECT_EQ(flags().parked_threads.load() & parked_program_bit, parked_program_bit);
        const winding::winding_variables& v = winding::variables();
        EXPECT_EQ(v.pole_count, c.pole_count);
        EXPECT_EQ(v.pole_pairs, c.pole_pairs);
        EXPECT_EQ(v.slot_count, c.slot_count);
        EXPECT_EQ(v.multiplex, c.multiplex);
        EXPECT_EQ(v.slot_spacing, 0.0f);
        std::string row4(80, ' ');
        for (int k = 0; k < c.entries_shown; ++k) {
            const auto& piece = row4_pieces[k];
            row4.replace(piece.column - 1, piece.text.size(), piece.text);
            if (k == c.entries_shown - 1) row4[piece.column - 1 + piece.text.size()] = cursor_block;
        }
        EXPECT_EQ(row_text(active_page(), 4), row4);
    }
}

TEST_F(StatementFrame, AStopRequestDuringTheFinalKeyWaitParksAtItsNextCheck) {
    bool stopped = false;
    int polls_after_stop = 0;
    run_options options;
    options.on_poll = [&](poll_site site) {
        if (stopped) {
            ++polls_after_stop;
            return;
        }
        if (site == poll_site::key_read && current_activity() == program_activity::running) {
            stopped = true;
            flags().stop_requested.store(1);
            flags().event_pending.store(1);
        }
    };
    options.poll_limit = 100'000;
    const run_result r = testing_support::run_winding(worked_example_data(), std::move(options));

    ASSERT_TRUE(stopped);
    EXPECT_EQ(r.end, run_end::parked);
    EXPECT_EQ(polls_after_stop, 0);
    EXPECT_EQ(flags().program_finished.load(), 0);
    EXPECT_EQ(flags().parked_threads.load() & parked_program_bit, parked_program_bit);
    EXPECT_EQ(row_text(active_page(), 30), std::string(80, ' ')); // no closing prompt
    EXPECT_TRUE(r.boxes.empty());
}

TEST_F(StatementFrame, AKeyTypedAheadEndsTheFinalKeyWaitButNotTheClosingPrompt) {
    // 'k' waits when statement 123 is reached and ends the wait at once; 'j'
    // was typed before the prompt too and is discarded.
    run_options options;
    options.typed_ahead = worked_example_data() + typed("kj");
    const run_result waiting = testing_support::run_winding({}, options);
    EXPECT_EQ(waiting.end, run_end::closing_prompt);
    EXPECT_EQ(flags().program_finished.load(), 0);
    EXPECT_TRUE(key_buffer().empty());
    EXPECT_EQ(row_text(active_page(), 30), "Press any key to continue" + std::string(55, ' '));

    const run_result finished = testing_support::run_winding(typed("x"), options);
    EXPECT_EQ(finished.end, run_end::parked);
    EXPECT_EQ(flags().program_finished.load(), 1);
}

TEST_F(StatementFrame, TheRoutineReleasesItsTemporaryTextsAfterEachStatement) {
    std::vector<std::size_t> live;
    run_options options;
    options.on_poll = [&](poll_site) { live.push_back(live_temp_strings()); };
    // The data, a key for the final wait (an arrow: a two-byte text) and one
    // for the closing prompt.
    const run_result r = testing_support::run_winding(
        worked_example_data() + key_script{tap(key_event::extended_key(0x48)), tap(key_event::character('z'))},
        std::move(options));

    EXPECT_EQ(r.end, run_end::parked);
    EXPECT_EQ(flags().program_finished.load(), 1);
    ASSERT_FALSE(live.empty());
    for (std::size_t k = 0; k < live.size(); ++k) ASSERT_EQ(live[k], 0u) << "poll " << k;
    EXPECT_EQ(live_temp_strings(), 0u);
}

} // namespace
