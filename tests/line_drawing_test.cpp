// Line drawing, the viewport and clearing: the pixels that lines set, the
// conversion and clipping that decide them, the viewport's checks and
// offset, and exactly what a clearing blanks.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <limits>
#include <map>
#include <random>
#include <vector>

#include "platform/screen/line_drawing.h"
#include "platform/screen/page.h"
#include "platform/runtime/errors.h"
#include "platform/runtime/flags.h"
#include "platform/screen/integer_arguments.h"
#include "platform/screen/viewport.h"
#include "support/page_testing.h"

using namespace platform;
using testing_support::pixel;
using testing_support::pixel_set;
using testing_support::set_pixels;

namespace {

constexpr float nan_value = std::numeric_limits<float>::quiet_NaN();
constexpr float infinity = std::numeric_limits<float>::infinity();

pixel_set horizontal(int y, int x_from, int x_to) {
    pixel_set out;
    for (int x = std::min(x_from, x_to); x <= std::max(x_from, x_to); ++x) out.insert({x, y});
    return out;
}

pixel_set vertical(int x, int y_from, int y_to) {
    pixel_set out;
    for (int y = std::min(y_from, y_to); y <= std::max(y_from, y_to); ++y) out.insert({x, y});
    return out;
}

pixel_set joined(pixel_set a, const pixel_set& b) {
    a.insert(b.begin(), b.end());
    return a;
}

class LineFixture : public ::testing::Test {
protected:
    void SetUp() override {
        reset_flags();
        init_mode12_page(page);
    }
    void TearDown() override {
        set_line_observer({});
        reset_flags();
    }
    drawing_page page;
};

class DrawLine : public LineFixture {};
class Viewport : public LineFixture {};
class ClearScreen : public LineFixture {};

} // namespace

TEST(DrawLineConversion, RoundsToNearestEvenAndSendsEverythingElseToTheMinimum) {
    struct conversion {
        float value;
        std::int32_t expected;
    };
    const std::int32_t minimum = std::numeric_limits<std::int32_t>::min();
    const conversion cases[] = {
        {148.5f, 148},
        {273.5f, 274},
        {398.5f, 398},
        {523.5f, 524},
        {-70.25f, -70},
        {-2.5f, -2},
        {-3.5f, -4},
        {0.5f, 0},
        {1.5f, 2},
        {0.49999997f, 0},
        {10.500001f, 11},
        {-0.0f, 0},
        {8388609.0f, 8388609},
        {2147483520.0f, 2147483520},
        {-2147483520.0f, -2147483520},
        {2147483648.0f, minimum},
        {-2147483648.0f, minimum},
        {3e9f, minimum},
        {-3e9f, minimum},
        {1e30f, minimum},
        {infinity, minimum},
        {-infinity, minimum},
        {nan_value, minimum},
        {-nan_value, minimum},
    };
    for (const conversion& c : cases) {
        EXPECT_EQ(line_coordinate_to_int(c.value), c.expected) << "value " << c.value;
    }
}

// The worked examples of line drawing without a viewport. Where only some of
// a line's pixels are listed, the line must set those, have the given number
// of pixels and set exactly one pixel per step along its major axis.
TEST_F(DrawLine, WorkedExamplesSetExactlyTheirPixels) {
    struct worked_line {
        const char* name;
        float x1, y1, x2, y2;
        pixel_set listed;
        bool complete;   // listed holds every pixel of the line
        std::size_t count;
        bool x_major;
        int major_from, major_to;
    };
    const worked_line cases[] = {
        {"shallow rightwards", 10, 10, 14, 12, {{10, 10}, {11, 11}, {12, 11}, {13, 12}, {14, 12}}, true, 5, true, 10, 14},
        {"shallow leftwards", 14, 12, 10, 10, {{10, 10}, {11, 11}, {12, 11}, {13, 12}, {14, 12}}, true, 5, true, 10, 14},
        {"45 degrees", 100, 100, 103, 103, {{100, 100}, {101, 101}, {102, 102}, {103, 103}}, true, 4, false, 100, 103},
        {"coil side upwards", 86, 270, 86, 170, vertical(86, 170, 270), true, 101, false, 170, 270},
        {"half-pixel end points",
         148.5f, 170, 273.5f, 120,
         {{148, 170}, {149, 170}, {150, 169}, {151, 169}, {152, 168}, {153, 168}, {154, 168}, {155, 167},
          {271, 121}, {272, 121}, {273, 120}, {274, 120}},
         false, 127, true, 148, 274},
        {"rail clipped at the right", 86, 340, 725, 340, horizontal(340, 86, 639), true, 554, true, 86, 639},
        {"from left of the page",
         -70.25f, 320, 86, 270,
         {{0, 298}, {1, 298}, {2, 297}, {3, 297}, {4, 297}, {5, 296}, {86, 270}},
         false, 87, true, 0, 86},
        {"to right of the page",
         586, 170, 711, 120,
         {{586, 170}, {587, 170}, {588, 169}, {637, 150}, {638, 149}, {639, 149}},
         false, 54, true, 586, 639},
        {"across the whole page", -100, 100, 800, 400, {{0, 133}, {639, 346}}, false, 640, true, 0, 639},
        {"crossing of exactly 100.5", -10, 100, 10, 101, joined(horizontal(100, 0, 5), horizontal(101, 6, 10)), true,
         11, true, 0, 10},
        {"x not a number", nan_value, 170, nan_value, 120, {}, true, 0, true, 0, -1},
        {"x of -3E+09", -3e9f, 320, 86, 270, horizontal(270, 0, 86), true, 87, true, 0, 86},
        {"x of 3E+09", 86, 170, 3e9f, 120, horizontal(170, 0, 86), true, 87, true, 0, 86},
    };
    for (const worked_line& c : cases) {
        SCOPED_TRACE(c.name);
        init_mode12_page(page);
        draw_line(page, c.x1, c.y1, c.x2, c.y2);
        const pixel_set got = set_pixels(page);
        EXPECT_EQ(got.size(), c.count);
        if (c.complete) {
            EXPECT_EQ(got, c.listed);
        } else {
            for (const pixel& p : c.listed) EXPECT_TRUE(got.count(p)) << "(" << p.first << ", " << p.second << ")";
        }
        std::map<int, int> per_step;
        for (const pixel& p : got) ++per_step[c.x_major ? p.first : p.second];
        for (int m = c.major_from; m <= c.major_to; ++m) EXPECT_EQ(per_step[m], 1) << "major coordinate " << m;
        EXPECT_EQ(per_step.size(), static_cast<std::size_t>(c.major_to - c.major_from + 1));
        for (const pixel& p : got) EXPECT_EQ(page.at(p.first, p.second), 15);
    }
}

TEST_F(DrawLine, DirectionDecidesTheFourthPixelOfAShallowLine) {
    draw_line(page, 0, 0, 6, 1);
    const pixel_set forwards = set_pixels(page);
    init_mode12_page(page);
    draw_line(page, 6, 1, 0, 0);
    const pixel_set backwards = set_pixels(page);

    const pixel_set common = {{0, 0}, {1, 0}, {2, 0}, {4, 1}, {5, 1}, {6, 1}};
    EXPECT_EQ(forwards, joined(common, {{3, 1}}));
    EXPECT_EQ(backwards, joined(common, {{3, 0}}));
}

TEST_F(DrawLine, CrossingTiesGoToEvenWhileMinorValuesRoundAwayFromZero) {
    // Crossing at exactly 101.5: the clipped end point lands on y 102.
    draw_line(page, -10, 101, 10, 102);
    EXPECT_EQ(set_pixels(page), horizontal(102, 0, 10));

    // A minor value of exactly 10.5 inside the rasterisation gives 11.
    init_mode12_page(page);
    draw_line(page, 0, 10, 2, 11);
    EXPECT_EQ(set_pixels(page), (pixel_set{{0, 10}, {1, 11}, {2, 11}}));

    // The same along the y axis: x 20.5 gives 21.
    init_mode12_page(page);
    draw_line(page, 20, 0, 21, 2);
    EXPECT_EQ(set_pixels(page), (pixel_set{{20, 0}, {21, 1}, {21, 2}}));

    // The 48th minor value is 0.49999997, the single just below one half:
    // it rounds to 0 (adding one half in single precision would give 1).
    init_mode12_page(page);
    draw_line(page, 0, 0, 94, 1);
    EXPECT_EQ(set_pixels(page), joined(horizontal(0, 0, 47), horizontal(1, 48, 94)));
}

TEST_F(DrawLine, NotANumberAndInfiniteCoordinatesLieLeftOfOrAboveThePage) {
    struct odd_line {
        const char* name;
        float x1, y1, x2, y2;
        pixel_set expected;
    };
    const odd_line cases[] = {
        {"both x infinite", infinity, 100, infinity, 200, {}},
        {"both x minus infinity", -infinity, 100, -infinity, 200, {}},
        {"both points not a number", nan_value, nan_value, nan_value, nan_value, {}},
        {"plus infinity goes left", 86, 100, infinity, 100, horizontal(100, 0, 86)},
        {"y not a number lies above", 86, nan_value, 86, 100, vertical(86, 0, 100)},
        {"y of 3E+09 lies above", 40, 3e9f, 40, 10, vertical(40, 0, 10)},
        {"huge x both ways", -1e30f, 50, 1e30f, 60, {}},
        {"largest x below 2^31 lies right", 600, 5, 2147483520.0f, 5, horizontal(5, 600, 639)},
    };
    for (const odd_line& c : cases) {
        SCOPED_TRACE(c.name);
        init_mode12_page(page);
        draw_line(page, c.x1, c.y1, c.x2, c.y2);
        EXPECT_EQ(set_pixels(page), c.expected);
    }
}

TEST_F(DrawLine, EqualEndPointsSetOnePixelInsideAndNothingOutside) {
    draw_line(page, 5, 5, 5, 5);
    EXPECT_EQ(set_pixels(page), (pixel_set{{5, 5}}));

    init_mode12_page(page);
    draw_line(page, 639.4f, 479.4f, 638.6f, 478.6f);  // both round to the corner pixel
    EXPECT_EQ(set_pixels(page), (pixel_set{{639, 479}}));

    for (const pixel& outside : {pixel{-1, -1}, pixel{640, 10}, pixel{10, 480}, pixel{-1, 240}}) {
        init_mode12_page(page);
        draw_line(page, static_cast<float>(outside.first), static_cast<float>(outside.second),
                  static_cast<float>(outside.first), static_cast<float>(outside.second));
        EXPECT_TRUE(set_pixels(page).empty()) << outside.first << ", " << outside.second;
    }
}

TEST_F(DrawLine, LineMissingThePageDrawsNothingAndLeavesCursorAtSecondPoint) {
    draw_line(page, -176, 270, -116, 120);
    EXPECT_TRUE(set_pixels(page).empty());
    // Outside both corners, crossing no edge within the page.
    draw_line(page, 700, -10, 660, -50);
    draw_line(page, -10, 470, 20, 500);
    draw_line(page, 650, 470, 630, 490);
    EXPECT_TRUE(set_pixels(page).empty());
    EXPECT_EQ(page.graphics_cursor.x, 630.0f);
    EXPECT_EQ(page.graphics_cursor.y, 490.0f);
}

TEST_F(DrawLine, StoresForegroundAndMaskReplacingWhatWasThere) {
    std::fill(page.pixels.begin(), page.pixels.end(), 9);
    page.foreground_color = 0x23;  // AND 15 gives 3
    draw_line(page, 10, 20, 12, 20);
    EXPECT_EQ(page.at(9, 20), 9);
    EXPECT_EQ(page.at(10, 20), 3);
    EXPECT_EQ(page.at(11, 20), 3);
    EXPECT_EQ(page.at(12, 20), 3);
    EXPECT_EQ(page.at(13, 20), 9);
}

TEST_F(DrawLine, CursorTakesTheUnroundedSecondPointWithoutOffset) {
    set_viewport(page, 588, 70, 639, 370);
    draw_line(page, 1.25f, 2.5f, 10.75f, -3.5f);
    EXPECT_EQ(page.graphics_cursor.x, 10.75f);
    EXPECT_EQ(page.graphics_cursor.y, -3.5f);
}

TEST_F(DrawLine, ObserverSeesEveryCallBeforeItDraws) {
    std::vector<std::array<float, 4>> seen;
    bool drawn_before = true;
    set_line_observer([&](float x1, float y1, float x2, float y2) {
        seen.push_back({x1, y1, x2, y2});
        drawn_before = page.at(10, 10) != 0;
    });
    draw_line(page, 10, 10, 14, 12);
    EXPECT_FALSE(drawn_before);
    draw_line(page, nan_value, 1.5f, -3e9f, 4);
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[0], (std::array<float, 4>{10, 10, 14, 12}));
    EXPECT_TRUE(std::isnan(seen[1][0]));
    EXPECT_EQ(seen[1][1], 1.5f);
    EXPECT_EQ(seen[1][2], -3e9f);

    set_line_observer({});
    draw_line(page, 1, 1, 2, 2);
    EXPECT_EQ(seen.size(), 2u);
}

TEST_F(DrawLine, LineInsideViewportIsMovedByItsCornerAndClippedToIt) {
    set_viewport(page, 588, 70, 639, 370);
    draw_line(page, 0, 0, 10, 0);
    EXPECT_EQ(set_pixels(page), horizontal(70, 588, 598));

    init_mode12_page(page);
    set_viewport(page, 588, 70, 639, 370);
    draw_line(page, -5, 0, 5, 0);
    EXPECT_EQ(set_pixels(page), horizontal(70, 588, 593));

    // Clipped on every side of the rectangle, never drawn beyond it.
    init_mode12_page(page);
    set_viewport(page, 0, 70, 84, 370);
    draw_line(page, -20, 150, 200, 150);
    draw_line(page, 40, -50, 40, 400);
    EXPECT_EQ(set_pixels(page), joined(horizontal(220, 0, 84), vertical(40, 70, 370)));

    // A point near the top of the 32-bit range stays on the right of the
    // viewport once the offset is added.
    init_mode12_page(page);
    set_viewport(page, 588, 70, 639, 370);
    draw_line(page, 10, 5, 2147483520.0f, 5);
    EXPECT_EQ(set_pixels(page), horizontal(75, 598, 639));
}

TEST_F(DrawLine, PendingErrorStopsDrawingAndLeavesTheCursor) {
    raise_error(illegal_function_call);
    draw_line(page, 10, 10, 20, 20);
    EXPECT_TRUE(set_pixels(page).empty());
    EXPECT_EQ(page.graphics_cursor.x, 320.0f);
    EXPECT_EQ(page.graphics_cursor.y, 240.0f);
}

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
        {640, 70, 84, 370}, {-1, 70, 84, 370}, {0, 480, 84, 370}, {0, -1, 84, 370},
        {0, 70, 640, 370},  {0, 70, -1, 370},  {0, 70, 84, 480},  {0, 70, 84, -1},
        {std::numeric_limits<std::int32_t>::min(), 0, 0, 0},
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
    const float odd_values[] = {nan_value, infinity, -infinity, 3e9f, -3e9f, 1e30f, -1e30f,
                                2147483520.0f, -2147483520.0f, 2147483648.0f, 16777216.0f, -0.0f};
    auto coordinate = [&]() -> float {
        const int kind = pick(random);
        if (kind == 0) return odd_values[random() % std::size(odd_values)];
        if (kind <= 3) return static_cast<float>(page_x(random) - 50) + 0.5f;  // half-pixel values
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
        for (int k = 0; k < lines_per_viewport; ++k) draw_line(page, coordinate(), coordinate(), coordinate(), coordinate());

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
        page.background_color = 0x12;  // AND 15 gives 2
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
