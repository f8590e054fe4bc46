// The window-size logic: following a new picture size, the aspect correction
// after a user resize, and where the picture is drawn.
#include <gtest/gtest.h>

#include "platform/screen/display_policy.h"

using namespace platform;

namespace {

constexpr window_size picture{640, 480};
constexpr picture_scaling smooth = picture_scaling::smooth;

// The window as it stands once the first 640 x 480 frame has brought it from
// 640 x 400 to the picture's size.
display_geometry after_first_frame() {
    display_geometry g;
    EXPECT_EQ(window_size_request(g, picture, smooth, false), picture);
    record_reshape(g, picture);
    EXPECT_EQ(window_size_request(g, picture, smooth, false), std::nullopt);
    return g;
}

} // namespace

TEST(DisplayPolicy, FirstFrameOfAnotherSizeBringsTheWindowToItWhateverSnapBack) {
    for (bool snap_back : {false, true}) {
        for (picture_scaling scaling : {picture_scaling::none, picture_scaling::stretch, picture_scaling::smooth}) {
            display_geometry g;
            EXPECT_EQ(window_size_request(g, picture, scaling, snap_back), picture);
            EXPECT_EQ(g.last_frame, picture);
            // The 640 x 400 window has aspect 1.6, the initial requested one, so
            // no aspect correction is made and the aspect is left as it was.
            EXPECT_EQ(g.last_requested_aspect, 1.6f);
        }
    }
}

TEST(DisplayPolicy, UserResizeIsBroughtBackToThePictureShapeFollowingTheBiggerChange) {
    struct resize_case {
        window_size dragged_to;
        window_size requested;
    };
    const resize_case cases[] = {
        {{800, 480}, {800, 599}},   // width followed: 800 / 1.33333337f truncates to 599
        {{640, 600}, {800, 600}},   // height followed: 600 * 1.33333337f truncates to 800
        {{700, 700}, {933, 700}},   // height changed by 220, width by 60: height followed
        {{660, 900}, {1200, 900}},  // height changed more
        {{1000, 500}, {1000, 749}}, // width changed more
        {{320, 480}, {320, 239}},   // shrinking truncates the same way
        // Width and height changed by the same amount: the height is followed
        // (following the width would give 700 x 524, 580 x 434, 700 x 524).
        {{700, 540}, {720, 540}}, // both grown by 60: 540 * 1.33333337f truncates to 720
        {{580, 420}, {560, 420}}, // both shrunk by 60: 420 * 1.33333337f truncates to 560
        {{700, 420}, {560, 420}}, // 60 wider and 60 shorter
    };
    for (const resize_case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.dragged_to.width << " x " << c.dragged_to.height);
        display_geometry g = after_first_frame();
        record_reshape(g, c.dragged_to);
        EXPECT_EQ(window_size_request(g, picture, smooth, false), c.requested);
        const float expected_aspect = static_cast<float>(static_cast<long double>(c.requested.width) /
                                                         static_cast<long double>(c.requested.height));
        EXPECT_EQ(g.last_requested_aspect, expected_aspect);
        // Once the window has the size asked for, nothing more is asked.
        record_reshape(g, c.requested);
        EXPECT_EQ(window_size_request(g, picture, smooth, false), std::nullopt);
    }
}

TEST(DisplayPolicy, WindowWithTheInitialRequestedAspectKeepsItsSize) {
    display_geometry g = after_first_frame();
    record_reshape(g, {768, 480});
    EXPECT_EQ(window_size_request(g, picture, smooth, false), std::nullopt);
    // With snap_back the window returns to the picture's size instead.
    EXPECT_EQ(window_size_request(g, picture, smooth, true), picture);
}

TEST(DisplayPolicy, NoAspectCorrectionWithoutScaling) {
    display_geometry g = after_first_frame();
    record_reshape(g, {800, 480});
    EXPECT_EQ(window_size_request(g, picture, picture_scaling::none, false), std::nullopt);
    EXPECT_EQ(window_size_request(g, picture, picture_scaling::none, true), picture);
}

TEST(DisplayPolicy, AsksAgainWhenTheRequestedSizeWasNotGranted) {
    display_geometry g = after_first_frame();
    record_reshape(g, {800, 480});
    EXPECT_EQ(window_size_request(g, picture, smooth, false), (window_size{800, 599}));
    // No reshape came: the window still has an aspect that is neither.
    EXPECT_EQ(window_size_request(g, picture, smooth, false), (window_size{800, 599}));
}

TEST(DisplayPolicy, BothSidesUnchangedFollowsTheWidth) {
    display_geometry g;
    g.current = g.previous = {900, 480};
    g.last_frame = picture;
    EXPECT_EQ(window_size_request(g, picture, smooth, false), (window_size{900, 674}));
}

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
