// Where the picture is drawn in the window.
#include <gtest/gtest.h>

#include "platform/screen/display_policy.h"

using namespace platform;

namespace {

constexpr window_size picture{640, 480};

} // namespace

TEST(DisplayPolicy, DisplayRectangle) {
    struct rect_case {
        window_size window;
        picture_scaling scaling;
        display_rect expected;
    };
    const rect_case cases[] = {
        {{640, 480}, picture_scaling::smooth, {0, 0, 640, 480, texture_filter::nearest}},
        {{640, 480}, picture_scaling::stretch, {0, 0, 640, 480, texture_filter::nearest}},
        {{800, 599}, picture_scaling::smooth, {0, 0, 800, 599, texture_filter::linear}},
        {{800, 599}, picture_scaling::stretch, {0, 0, 800, 599, texture_filter::nearest}},
        {{800, 599}, picture_scaling::none, {0, 0, 640, 480, texture_filter::nearest}},
        {{320, 240}, picture_scaling::none, {0, 0, 640, 480, texture_filter::nearest}},
    };
    for (const rect_case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.window.width << " x " << c.window.height << " scaling "
                                        << static_cast<int>(c.scaling));
        EXPECT_EQ(compute_display_rect(c.window, picture, c.scaling), c.expected);
    }
}
