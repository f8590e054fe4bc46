// The routine's wishes for the window: the resize policy and scaling mode
// that set_resize_policy stores, and the title that the window takes once.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "platform/screen/display_policy.h"
#include "platform/screen/window_settings.h"
#include "support/page_fixtures.h"

using namespace platform;
using testing_support::PageSetUp;

namespace {

TEST_F(PageSetUp, SetResizePolicyFollowsItsPolicyAndScalingArguments) {
    struct policy_case {
        int policy, scaling, snap_before, snap_after;
    };
    const policy_case cases[] = {{0, 2, 0, 0}, {0, 2, 1, 1}, {1, 1, 1, 0}, {2, 0, 0, 1}, {7, 1, 1, 1}};
    for (const policy_case& c : cases) {
        SCOPED_TRACE(testing::Message() << "policy " << c.policy << ", scaling " << c.scaling);
        window_config().snap_back.store(c.snap_before);
        window_config().scaling_mode.store(static_cast<picture_scaling>(-1));
        set_resize_policy(c.policy, c.scaling);
        EXPECT_EQ(window_config().snap_back.load(), c.snap_after);
        EXPECT_EQ(window_config().scaling_mode.load(), static_cast<picture_scaling>(c.scaling));
    }
}

TEST_F(PageSetUp, TheWindowTakesTheLatestTitleOnce) {
    set_window_title("first");
    set_window_title("DC MOTOR WINDINGS: TWO LAYER, MULTIPLEX WAVE WINDING");
    EXPECT_EQ(window_title(), "DC MOTOR WINDINGS: TWO LAYER, MULTIPLEX WAVE WINDING");
    const std::unique_ptr<std::string> taken = take_new_window_title();
    ASSERT_NE(taken, nullptr);
    EXPECT_EQ(*taken, "DC MOTOR WINDINGS: TWO LAYER, MULTIPLEX WAVE WINDING");
    EXPECT_EQ(taken->size(), 52u);
    EXPECT_EQ(take_new_window_title(), nullptr);
}

} // namespace
