// Line drawing: the pixels that lines set, the conversion and clipping that
// decide them, the graphics cursor, the line observer, and lines drawn inside
// a viewport.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <map>
#include <numeric>
#include <vector>

#include "platform/runtime/errors.h"
#include "platform/screen/integer_arguments.h"
#include "platform/screen/line_drawing.h"
#include "platform/screen/page.h"
#include "platform/screen/viewport.h"
#include "support/page_fixtures.h"
#include "support/page_testing.h"

using namespace platform;
using testing_support::infinity;
using testing_support::nan_value;
using testing_support::pixel;
using testing_support::pixel_set;
using testing_support::set_pixels;

namespace {

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

// The pixels of the line from `from` to `to`, both on the page, worked out
// exactly: at each step k along the major axis the minor value is
// from + k * (to - from) / length, rounded half away from zero. It serves
// lines whose slope has a power of two below it in lowest terms: the slope and
// every sum of it are then exact in single precision, so the routine's stepping
// meets exactly these values, ties included.
pixel_set exact_line(pixel from, pixel to) {
    const int dx = to.first - from.first;
    const int dy = to.second - from.second;
    const bool x_major = std::abs(dx) > std::abs(dy);
    const std::int64_t length = std::max(std::abs(dx), std::abs(dy));
    const std::int64_t rise = x_major ? dy : dx;
    const std::int64_t minor_from = x_major ? from.second : from.first;
    const int step = (x_major ? dx : dy) < 0 ? -1 : 1;
    if (length == 0) return {from};
    EXPECT_TRUE(std::has_single_bit(static_cast<std::uint64_t>(length / std::gcd(rise, length))))
        << "the slope of this line is not exact in single precision";
    pixel_set out;
    for (int k = 0; k <= length; ++k) {
        // Minor values on the page are not negative, so half away from zero
        // is floor(value + 1/2), taken over the common denominator 2 * length.
        const auto minor = static_cast<int>((2 * minor_from * length + 2 * k * rise + length) / (2 * length));
        if (x_major) out.insert({from.first + k * step, minor});
        else out.insert({minor, from.second + k * step});
    }
    return out;
}

pixel_set joined(pixel_set a, const pixel_set& b) {
    a.insert(b.begin(), b.end());
    return a;
}

class DrawLine : public testing_support::Mode12PageFixture {};

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
        bool complete; // listed holds every pixel of the line
        std::size_t count;
        bool x_major;
        int major_from, major_to;
    };
    const worked_line cases[] = {
        {"shallow rightwards",
         10,
         10,
         14,
         12,
         {{10, 10}, {11, 11}, {12, 11}, {13, 12}, {14, 12}},
         true,
         5,
         true,
         10,
         14},
        {"shallow leftwards",
         14,
         12,
         10,
         10,
         {{10, 10}, {11, 11}, {12, 11}, {13, 12}, {14, 12}},
         true,
         5,
         true,
         10,
         14},
        {"45 degrees", 100, 100, 103, 103, {{100, 100}, {101, 101}, {102, 102}, {103, 103}}, true, 4, false, 100, 103},
        {"coil side upwards", 86, 270, 86, 170, vertical(86, 170, 270), true, 101, false, 170, 270},
        {"half-pixel end points",
         148.5f,
         170,
         273.5f,
         120,
         {{148, 170},
          {149, 170},
          {150, 169},
          {151, 169},
          {152, 168},
          {153, 168},
          {154, 168},
          {155, 167},
          {271, 121},
          {272, 121},
          {273, 120},
          {274, 120}},
         false,
         127,
         true,
         148,
         274},
        {"rail clipped at the right", 86, 340, 725, 340, horizontal(340, 86, 639), true, 554, true, 86, 639},
        {"from left of the page",
         -70.25f,
         320,
         86,
         270,
         {{0, 298}, {1, 298}, {2, 297}, {3, 297}, {4, 297}, {5, 296}, {86, 270}},
         false,
         87,
         true,
         0,
         86},
        {"to right of the page",
         586,
         170,
         711,
         120,
         {{586, 170}, {587, 170}, {588, 169}, {637, 150}, {638, 149}, {639, 149}},
         false,
         54,
         true,
         586,
         639},
        {"across the whole page", -100, 100, 800, 400, {{0, 133}, {639, 346}}, false, 640, true, 0, 639},
        {"crossing of exactly 100.5", -10, 100, 10, 101, joined(horizontal(100, 0, 5), horizontal(101, 6, 10)), true,
         11, true, 0, 10},
        {"x not a number", nan_value, 170, nan_value, 120, {}, true, 0, true, 0, -1},
        {"x of -3E+09", -3e9f, 320, 86, 270, horizontal(270, 0, 86), true, 87, true, 0, 86},
        {"x of 3E+09", 86, 170, 3e9f, 120, horizontal(170, 0, 86), true, 87, true, 0, 86},
        // The last row and column belong to the page: a crossing on y 479 or
        // x 639 lies within the edge it meets.
        {"last row from the right", 700, 479, 600, 479, horizontal(479, 600, 639), true, 40, true, 600, 639},
        {"last row from the left", -50, 479, 100, 479, horizontal(479, 0, 100), true, 101, true, 0, 100},
        {"last row across the page", -50, 479, 700, 479, horizontal(479, 0, 639), true, 640, true, 0, 639},
        {"last column from below", 639, 500, 639, 400, vertical(639, 400, 479), true, 80, false, 400, 479},
        {"last column from above", 639, -30, 639, 100, vertical(639, 0, 100), true, 101, false, 0, 100},
        // Crosses x 639 at y 579 - 100 = 479, the corner.
        {"into the corner", 739, 579, 539, 379, exact_line({639, 479}, {539, 379}), true, 101, false, 379, 479},
        // Crosses x 639 at y 529 - 100 / 2 = 479.
        {"onto the last row at the right edge", 739, 529, 539, 429, exact_line({639, 479}, {539, 429}), true, 101, true,
         539, 639},
        // Both ends beyond the page. The first end point is moved onto its
        // edge, then the second along the line from the first as it now
        // stands. Moved along the line as it was passed, the second would land
        // one pixel off, on the pixel given in brackets.
        //   x 639 at y -149 + 617 * 1026 / 1904 = 183.48, so (639, 183);
        //   y 479 at x -648 + 398 * 1287 / 694 = 90.08, so (90, 479) [91].
        {"from beyond the right to beyond the bottom",
         1256,
         -149,
         -648,
         877,
         {{639, 183}, {90, 479}},
         false,
         550,
         true,
         90,
         639},
        //   x 639 at y 436 - 779 * 839 / 2483 = 172.78, so (639, 173);
        //   y 0 at x 639 - 173 * 1704 / 576 = 127.21, so (127, 0) [128].
        {"from beyond the right to beyond the top", 1418, 436, -1065, -403, exact_line({639, 173}, {127, 0}), true, 513,
         true, 127, 639},
        //   x 0 at y 210 + 487 * 922 / 2104 = 423.41, so (0, 423);
        //   y 479 at x 0 + 56 * 1617 / 709 = 127.72, so (128, 479) [127].
        {"from beyond the left to beyond the bottom", -487, 210, 1617, 1132, exact_line({0, 423}, {128, 479}), true,
         129, true, 0, 128},
        //   y 0 at x 78 + 513 * 1583 / 1807 = 527.41, so (527, 0);
        //   x 639 at y 1294 - 1022 * 1294 / 1134 = 127.80, so (639, 128) [127].
        {"from beyond the top to beyond the right", 78, -513, 1661, 1294, exact_line({527, 0}, {639, 128}), true, 129,
         false, 0, 128},
        //   y 479 at x 219 - 239 * 551 / 1247 = 113.40, so (113, 479);
        //   x 0 at y -529 + 332 * 1008 / 445 = 223.04, so (0, 223) [222].
        {"from beyond the bottom to beyond the left", 219, 718, -332, -529, exact_line({113, 479}, {0, 223}), true, 257,
         false, 223, 479},
        //   x 639 at y -452 + 1087 * 1679 / 2885 = 180.61, so (639, 181);
        //   y 479 at x -1159 + 748 * 1798 / 1046 = 126.76, so (127, 479) [126].
        {"between two corners beyond the page", 1726, -452, -1159, 1227, exact_line({639, 181}, {127, 479}), true, 513,
         true, 127, 639},
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
    draw_line(page, 639.4f, 479.4f, 638.6f, 478.6f); // both round to the corner pixel
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
    page.foreground_color = 0x23; // AND 15 gives 3
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
