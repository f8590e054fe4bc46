// The viewport and clearing: the viewport's corner checks and offset, that
// no line sets a pixel outside it, and exactly what a clearing blanks, with
// and without a viewport.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <iterator>
#include <limits>
#include <random>
#include <vector>

#include "platform/runtime/errors.h"
#include "platform/runtime/flags.h"
#include "platform/screen/line_drawing.h"
#include "platform/screen/page.h"
#include "platform/screen/viewport.h"
#include "support/page_fixtures.h"

using namespace platform;
using testing_support::infinity;
using testing_support::nan_value;

namespace {

class Viewport : public testing_support::Mode12PageFixture {};
class ClearScreen : public testing_support::Mode12PageFixture {};

} // namespace

TEST_F(Viewport, SortsCornersAndSetsOffsetWithoutTouchingPixelsOrCursors) {
    std::fill(page.pixels.begin(), page.pixels.end(), 4);
    page.text_cursor = {7, 12};
    set_viewport(page, 84, 370, 0, 70);
    EXPECT_EQ(page.clip_mode, 1);
    EXPECT_EQ(page.viewport.left, 0);
    EXPECT_EQ(page.viewport.top, 70);
    EXPECT_EQ(page.viewport.right, 84);
    EXPECT_EQ(page.viewport.bottom, 370);
    EXPECT_EQ(page.viewport.offset_x, 0);
    EXPECT_EQ(page.viewport.offset_y, 70);
    EXPECT_TRUE(std::all_of(page.pixels.begin(), page.pixels.end(), [](std::uint8_t p) { return p == 4; }));
    EXPECT_EQ(page.graphics_cursor.x, 320.0f);
    EXPECT_EQ(page.graphics_cursor.y, 240.0f);
    EXPECT_EQ(page.text_cursor.column, 7);
    EXPECT_EQ(page.text_cursor.row, 12);

    drawing_page same;
    init_mode12_page(same);
    set_viewport(same, 0, 70, 84, 370);
    EXPECT_EQ(same.viewport.left, page.viewport.left);
    EXPECT_EQ(same.viewport.top, page.viewport.top);
    EXPECT_EQ(same.viewport.right, page.viewport.right);
    EXPECT_EQ(same.viewport.bottom, page.viewport.bottom);

    // The second viewport replaces the first.
    set_viewport(page, 588, 70, 639, 370);
    EXPECT_EQ(page.viewport.left, 588);
    EXPECT_EQ(page.viewport.right, 639);
    EXPECT_EQ(page.viewport.offset_x, 588);
    EXPECT_EQ(page.viewport.offset_y, 70);
}

TEST_F(Viewport, CornerOffThePageRaisesErrorFiveAndKeepsTheOldViewport) {
    struct corners {
        std::int32_t left, top, right, bottom;
    };
    const corners rejected[] = {
        {640, 70, 84, 370}, {-1, 70, 84, 370}, {0, 480, 84, 370},
        {0, -1, 84, 370},   {0, 70, 640, 370}, {0, 70, -1, 370},
        {0, 70, 84, 480},   {0, 70, 84, -1},   {std::numeric_limits<std::int32_t>::min(), 0, 0, 0},
    };
    for (const corners& c : rejected) {
        SCOPED_TRACE(testing::Message() << c.left << ", " << c.top << ", " << c.right << ", " << c.bottom);
        reset_flags();
        init_mode12_page(page);
        set_viewport(page, 588, 70, 639, 370);
        set_viewport(page, c.left, c.top, c.right, c.bottom);
        EXPECT_EQ(flags().error_pending.load(), illegal_function_call);
        EXPECT_EQ(page.viewport.left, 588);
        EXPECT_EQ(page.viewport.top, 70);
        EXPECT_EQ(page.viewport.right, 639);
        EXPECT_EQ(page.viewport.bottom, 370);
        EXPECT_EQ(page.viewport.offset_x, 588);
        EXPECT_EQ(page.clip_mode, 1);
    }
    // The page's last pixels are accepted as corners.
    reset_flags();
    set_viewport(page, 639, 479, 0, 0);
    EXPECT_EQ(flags().error_pending.load(), 0);
    EXPECT_EQ(page.viewport.right, 639);
    EXPECT_EQ(page.viewport.bottom, 479);
}

TEST_F(Viewport, PendingErrorLeavesViewportUnset) {
    raise_error(illegal_function_call);
    set_viewport(page, 0, 70, 84, 370);
    EXPECT_EQ(page.clip_mode, 0);
    EXPECT_EQ(page.viewport.top, 0);
    EXPECT_EQ(page.viewport.bottom, 479);
}

// Random lines, with random viewports and no viewport, including coordinates
// that are not numbers, infinite or far off the page: every pixel a line sets
// lies inside the rectangle in force.
TEST_F(Viewport, RandomLinesNeverSetAPixelOutsideTheViewport) {
    std::mt19937 random(20240610);
    std::uniform_int_distribution<int> page_x(0, 639), page_y(0, 479), pick(0, 19);
    std::uniform_real_distribution<float> near(-800.0f, 1400.0f), fraction(-2.0f, 2.0f);
    const float odd_values[] = {nan_value, infinity,      -infinity,      3e9f,          -3e9f,       1e30f,
                                -1e30f,    2147483520.0f, -2147483520.0f, 2147483648.0f, 16777216.0f, -0.0f};
    auto coordinate = [&]() -> float {
        const int kind = pick(random);
        if (kind == 0) return odd_values[random() % std::size(odd_values)];
        if (kind <= 3) return static_cast<float>(page_x(random) - 50) + 0.5f; // half-pixel values
        if (kind <= 6) return static_cast<float>(page_x(random)) + fraction(random);
        return near(random);
    };

    const std::vector<std::uint8_t> zeros(page_width, 0);
    const int viewports = 2000;
    const int lines_per_viewport = 100;
    std::size_t pixels_drawn = 0;
    for (int n = 0; n < viewports; ++n) {
        init_mode12_page(page);
        if (n % 10 != 0) set_viewport(page, page_x(random), page_y(random), page_x(random), page_y(random));
        ASSERT_EQ(flags().error_pending.load(), 0);
        const viewport_rect v = page.viewport;
        for (int k = 0; k < lines_per_viewport; ++k)
            draw_line(page, coordinate(), coordinate(), coordinate(), coordinate());

        for (int y = 0; y < page_height; ++y) {
            const std::uint8_t* row = page.row(y);
            if (y < v.top || y > v.bottom) {
                ASSERT_EQ(std::memcmp(row, zeros.data(), page_width), 0) << "row " << y << " viewport " << n;
                continue;
            }
            ASSERT_EQ(std::memcmp(row, zeros.data(), v.left), 0) << "row " << y << " viewport " << n;
            ASSERT_EQ(std::memcmp(row + v.right + 1, zeros.data(), page_width - 1 - v.right), 0)
                << "row " << y << " viewport " << n;
            pixels_drawn += std::count(row + v.left, row + v.right + 1, 15);
        }
    }
    // The lines did reach the viewports: the property is not met by drawing nothing.
    EXPECT_GT(pixels_drawn, 100000u);
}

TEST_F(ClearScreen, WithoutViewportBlanksTheWholePageAndHomesBothCursors) {
    std::fill(page.pixels.begin(), page.pixels.end(), 15);
    page.text_cursor = {40, 30};
    page.pending_wrap = 1;
    page.graphics_cursor = {1.5f, 2.5f};
    clear_screen(page);
    EXPECT_TRUE(std::all_of(page.pixels.begin(), page.pixels.end(), [](std::uint8_t p) { return p == 0; }));
    EXPECT_EQ(page.text_cursor.row, 1);
    EXPECT_EQ(page.text_cursor.column, 1);
    EXPECT_EQ(page.pending_wrap, 0);
    EXPECT_EQ(page.graphics_cursor.x, 320.0f);
    EXPECT_EQ(page.graphics_cursor.y, 240.0f);
    EXPECT_EQ(page.clip_mode, 0);
}

TEST_F(ClearScreen, TextCursorGoesToTheTopRowOfTheTextWindow) {
    page.text_window = {5, 29};
    page.text_cursor = {12, 20};
    clear_screen(page);
    EXPECT_EQ(page.text_cursor.row, 5);
    EXPECT_EQ(page.text_cursor.column, 1);
}

TEST_F(ClearScreen, WithViewportBlanksExactlyItsRectangle) {
    struct cleared {
        std::int32_t left, top, right, bottom;
        float cursor_x, cursor_y;
    };
    const cleared cases[] = {
        {0, 70, 84, 370, 42.5f, 150.5f},
        {588, 70, 639, 370, 26.0f, 150.5f},
        {10, 10, 10, 10, 0.5f, 0.5f},
        {0, 0, 639, 479, 320.0f, 240.0f},
    };
    for (const cleared& c : cases) {
        SCOPED_TRACE(testing::Message() << c.left << ", " << c.top << ", " << c.right << ", " << c.bottom);
        init_mode12_page(page);
        std::fill(page.pixels.begin(), page.pixels.end(), 7);
        page.background_color = 0x12; // AND 15 gives 2
        page.text_cursor = {30, 9};
        set_viewport(page, c.left, c.top, c.right, c.bottom);
        clear_screen(page);
        int wrong = 0;
        for (int y = 0; y < page_height; ++y)
            for (int x = 0; x < page_width; ++x) {
                const bool inside = x >= c.left && x <= c.right && y >= c.top && y <= c.bottom;
                wrong += page.at(x, y) != (inside ? 2 : 7);
            }
        EXPECT_EQ(wrong, 0);
        EXPECT_EQ(page.graphics_cursor.x, c.cursor_x);
        EXPECT_EQ(page.graphics_cursor.y, c.cursor_y);
        EXPECT_EQ(page.text_cursor.row, 1);
        EXPECT_EQ(page.text_cursor.column, 1);
        EXPECT_EQ(page.viewport.left, c.left);
        EXPECT_EQ(page.clip_mode, 1);
    }
}

TEST_F(ClearScreen, PendingErrorLeavesPageAndCursors) {
    std::fill(page.pixels.begin(), page.pixels.end(), 15);
    page.text_cursor = {40, 20};
    raise_error(illegal_function_call);
    clear_screen(page);
    EXPECT_TRUE(std::all_of(page.pixels.begin(), page.pixels.end(), [](std::uint8_t p) { return p == 15; }));
    EXPECT_EQ(page.text_cursor.column, 40);
    EXPECT_EQ(page.text_cursor.row, 20);
}
