// The routine's frame: set-up, the final key wait and the closing prompt.
#include <gtest/gtest.h>

#include "platform/runtime/flags.h"
#include "platform/screen/page.h"
#include "platform/screen/window_settings.h"
#include "support/page_testing.h"

using namespace platform;
using testing_support::row_text;
using testing_support::run_winding;

TEST(RoutineFrame, SetUpLeavesBlackMode12PageTitleAndSmoothScaling) {
    // With the data entry not yet typed, the routine ends up waiting.
    const run_result r = run_winding({});
    const drawing_page& page = active_page();
    EXPECT_EQ(page.mode, 12);
    EXPECT_EQ(page.height, 480);
    EXPECT_EQ(window_title(), "DC MOTOR WINDINGS: TWO LAYER, MULTIPLEX WAVE WINDING");
    EXPECT_EQ(window_config().scaling_mode.load(), picture_scaling::smooth);
    EXPECT_EQ(window_config().snap_back.load(), 0);
    EXPECT_NE(r.end, run_end::parked);
}
