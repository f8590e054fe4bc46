// The mode 12 page as set_screen_mode leaves it, the screen-mode change's
// hand-over with the frame builder, and the set-up calls while an error is
// pending.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>

#include "platform/headless/headless_runtime.h"
#include "platform/runtime/errors.h"
#include "platform/runtime/event_check.h"
#include "platform/runtime/flags.h"
#include "platform/runtime/hooks.h"
#include "platform/runtime/parking.h"
#include "platform/screen/page.h"
#include "platform/screen/screen_mode.h"
#include "platform/screen/window_settings.h"
#include "support/page_fixtures.h"

using namespace platform;
using testing_support::PageSetUp;

namespace {

TEST_F(PageSetUp, Mode12GivesABlack640x480PageWithItsStartFields) {
    // Scribble on the initial text page first: none of it may survive.
    drawing_page& text_page = active_page();
    ASSERT_EQ(text_page.height, 400);
    for (auto& p : text_page.pixels) p = 7;
    text_page.text_cursor = {40, 20};
    text_page.foreground_color = 3;

    set_screen_mode(12);
    const drawing_page& page = active_page();
    EXPECT_EQ(page.width, 640);
    EXPECT_EQ(page.height, 480);
    EXPECT_EQ(page.color_mask, 15u);
    EXPECT_EQ(page.mode, 12);
    EXPECT_EQ(page.foreground_color, 15u);
    EXPECT_EQ(page.background_color, 0u);
    EXPECT_EQ(page.text_window.top, 1);
    EXPECT_EQ(page.text_window.bottom, 29);
    EXPECT_EQ(page.text_cursor.row, 1);
    EXPECT_EQ(page.text_cursor.column, 1);
    EXPECT_EQ(page.pending_wrap, 0);
    EXPECT_EQ(page.viewport.left, 0);
    EXPECT_EQ(page.viewport.top, 0);
    EXPECT_EQ(page.viewport.right, 639);
    EXPECT_EQ(page.viewport.bottom, 479);
    EXPECT_EQ(page.viewport.offset_x, 0);
    EXPECT_EQ(page.viewport.offset_y, 0);
    EXPECT_EQ(page.clip_mode, 0);
    EXPECT_EQ(page.graphics_cursor.x, 320.0f);
    EXPECT_EQ(page.graphics_cursor.y, 240.0f);

    ASSERT_EQ(page.pixels.size(), 640u * 480u);
    EXPECT_EQ(std::count(page.pixels.begin(), page.pixels.end(), 0), 640 * 480);

    const std::uint32_t colours[16] = {
        0xFF000000, 0xFF0000AA, 0xFF00AA00, 0xFF00AAAA, 0xFFAA0000, 0xFFAA00AA, 0xFFAA5500, 0xFFAAAAAA,
        0xFF555555, 0xFF5555FF, 0xFF55FF55, 0xFF55FFFF, 0xFFFF5555, 0xFFFF55FF, 0xFFFFFF55, 0xFFFFFFFF,
    };
    for (int i = 0; i < 16; ++i) EXPECT_EQ(page.page_palette[i], colours[i]) << "colour " << i;
    for (int i = 16; i < 256; ++i) ASSERT_EQ(page.page_palette[i], 0u) << "entry " << i;
}

TEST_F(PageSetUp, NothingChangesWhileAnErrorIsPending) {
    const std::uint64_t generation = mode_generation();
    raise_error(illegal_function_call);
    set_screen_mode(12);
    EXPECT_EQ(active_page().mode, 0);
    EXPECT_EQ(active_page().height, 400);
    EXPECT_EQ(mode_generation(), generation);

    set_window_title("DC MOTOR WINDINGS: TWO LAYER, MULTIPLEX WAVE WINDING");
    EXPECT_FALSE(window_title_set());
    EXPECT_EQ(take_new_window_title(), nullptr);

    // The resize policy is not held back by the error.
    set_resize_policy(0, 2);
    EXPECT_EQ(window_config().scaling_mode.load(), picture_scaling::smooth);

    flags().error_pending.store(0);
    set_screen_mode(12);
    EXPECT_EQ(active_page().mode, 12);
    EXPECT_NE(mode_generation(), generation);
}

TEST_F(PageSetUp, AnUnknownModeRaisesError5AndLeavesThePage) {
    for (int mode : {0, 13, -12, 1 << 20}) {
        SCOPED_TRACE(mode);
        int statements_after = 0;
        const run_result r = run_headless(
            [&] {
                set_screen_mode(mode);
                end_of_statement(5);
                ++statements_after;
                stop_and_wait();
            },
            {});
        EXPECT_EQ(r.end, run_end::parked);
        ASSERT_EQ(r.boxes.size(), 1u);
        EXPECT_EQ(r.boxes[0].caption, "Unhandled Error #5");
        EXPECT_EQ(r.boxes[0].text, "Line:5\nIllegal function call\nContinue?");
        EXPECT_EQ(statements_after, 1) << "Yes goes on after the statement";
        EXPECT_EQ(active_page().mode, 0) << "the initial text page stays";
        EXPECT_EQ(active_page().height, 400);
    }
}

TEST_F(PageSetUp, ModeChangeWaitsForTheBuilderToFinishItsPassAndHoldsTheNextOne) {
    set_frame_builder_running(true);
    ASSERT_TRUE(try_begin_building_pass()); // a building pass is under way
    int waits = 0;
    bool next_pass_refused = false;
    hooks().sleep = [&](poll_site site, int) {
        if (site != poll_site::mode_handover) return;
        // The first look finds the pass still running; the builder then ends
        // it and tries to start another one while the change is under way.
        if (++waits == 2) {
            end_building_pass();
            next_pass_refused = !try_begin_building_pass();
        }
    };
    set_screen_mode(12);
    EXPECT_GE(waits, 2);
    EXPECT_TRUE(next_pass_refused);
    EXPECT_EQ(active_page().mode, 12);
    // Once the change is done the builder goes on.
    EXPECT_TRUE(try_begin_building_pass());
    end_building_pass();
}

} // namespace
