// The closing prompt: "Press any key to continue" on row 30, keys typed before
// it discarded, a new key ending the program, and a stop request while it
// waits.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "platform/entry/closing_prompt.h"
#include "platform/headless/headless_runtime.h"
#include "platform/keys/key_buffer.h"
#include "platform/keys/keyboard.h"
#include "platform/runtime/flags.h"
#include "platform/runtime/hooks.h"
#include "platform/screen/page.h"
#include "platform/screen/screen_mode.h"
#include "platform/text/text_output.h"
#include "support/page_testing.h"

using namespace platform;
using testing_support::row_text;

namespace {

const std::string prompt_row = "Press any key to continue" + std::string(55, ' ');

std::string padded(const std::string& s) { return s + std::string(80 - s.size(), ' '); }

// A screen like the one after rejected data: prompts on row 4, the message on
// row 15, graphics on row 29 and leftovers on row 30.
void rejected_data_screen() {
    set_screen_mode(12);
    locate_cursor(4, 1);
    print_string("Number of poles 2p = 3", false);
    locate_cursor(15, 30);
    print_string("Wrong Data Entry!", true);
    for (int x = 0; x < 640; ++x) active_page().at(x, 460) = 15;
    locate_cursor(30, 40);
    print_string("leftover", false);
}

void closing_routine() {
    rejected_data_screen();
    end_program();
}

struct parked_signal {};

class ClosingPrompt : public ::testing::Test {
protected:
    void SetUp() override { reset_runtime(); }
    void TearDown() override {
        install_default_hooks();
        reset_runtime();
    }
};

TEST_F(ClosingPrompt, ShowsThePromptOnRow30AndIgnoresKeysTypedBeforeIt) {
    run_options options;
    options.typed_ahead = typed("12\r") + key_script{tap(key_event::extended_key(0x48))};
    const run_result r = run_headless(closing_routine, std::move(options));

    EXPECT_EQ(r.end, run_end::closing_prompt);
    EXPECT_EQ(flags().program_finished.load(), 0);
    EXPECT_TRUE(key_buffer().empty());
    const drawing_page& page = active_page();
    EXPECT_EQ(row_text(page, 30), prompt_row);
    EXPECT_EQ(row_text(page, 4), padded("Number of poles 2p = 3"));
    EXPECT_EQ(row_text(page, 15), padded(std::string(29, ' ') + "Wrong Data Entry!"));
    EXPECT_EQ(testing_support::set_pixels(page, 0, 460, 639, 460).size(), 640u);
    EXPECT_EQ(page.text_cursor.row, 30);
    EXPECT_EQ(page.text_cursor.column, 26);
    EXPECT_EQ(page.pending_wrap, 0);
    EXPECT_EQ(page.text_window.top, 30);
    EXPECT_EQ(page.text_window.bottom, 30);
}

TEST_F(ClosingPrompt, AKeyAfterThePromptFinishesTheProgramAndParks) {
    const key_script after_prompt[] = {typed("x"), key_script{tap(key_event::extended_key(0x3B))}};
    for (const key_script& keys : after_prompt) {
        run_options options;
        options.typed_ahead = typed("abc");
        options.keys = keys;
        const run_result r = run_headless(closing_routine, std::move(options));
        EXPECT_EQ(r.end, run_end::parked);
        EXPECT_EQ(r.keys_left, 0u);
        EXPECT_EQ(flags().program_finished.load(), 1);
        EXPECT_EQ(flags().parked_threads.load() & parked_program_bit, parked_program_bit);
        EXPECT_TRUE(key_buffer().empty()); // the key was consumed
        EXPECT_EQ(row_text(active_page(), 30), prompt_row);
        EXPECT_TRUE(r.boxes.empty());
    }
}

TEST_F(ClosingPrompt, DiscardsWithoutWaitingThenPollsEvery100Milliseconds) {
    std::vector<std::pair<poll_site, int>> sleeps;
    int waits = 0;
    hooks().sleep = [&](poll_site site, int milliseconds) {
        if (site == poll_site::key_read) return;
        sleeps.push_back({site, milliseconds});
        if (site == poll_site::closing_wait && ++waits == 2) {
            handle_key_down(key_event::character('q'));
            handle_key_up(key_event::character('q'));
        }
    };
    hooks().park = [] { throw parked_signal{}; };
    set_screen_mode(12);
    handle_key_down(key_event::character('a'));
    handle_key_down(key_event::character('b'));
    EXPECT_THROW(end_program(), parked_signal);

    const std::vector<std::pair<poll_site, int>> expected = {
        {poll_site::closing_discard, 0},
        {poll_site::closing_discard, 0},
        {poll_site::closing_wait, 100},
        {poll_site::closing_wait, 100},
    };
    EXPECT_EQ(sleeps, expected);
    EXPECT_EQ(flags().program_finished.load(), 1);
    EXPECT_TRUE(key_buffer().empty());
}

TEST_F(ClosingPrompt, AStopRequestParksAtTheNextPollWithoutTakingAKey) {
    run_options options;
    options.keys = typed("x");
    options.on_poll = [](poll_site site) {
        if (site != poll_site::closing_wait) return;
        // A key arrives at the same moment as the stop request.
        handle_key_down(key_event::character('k'));
        handle_key_up(key_event::character('k'));
        flags().stop_requested.store(1);
        flags().event_pending.store(1);
    };
    options.poll_limit = 10'000;
    const run_result r = run_headless(closing_routine, std::move(options));
    EXPECT_EQ(r.end, run_end::parked);
    EXPECT_EQ(flags().program_finished.load(), 0);
    EXPECT_EQ(key_buffer().waiting(), 1);
    EXPECT_EQ(flags().parked_threads.load() & parked_program_bit, parked_program_bit);
}

} // namespace
