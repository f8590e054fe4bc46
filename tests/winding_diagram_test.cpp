// The winding diagram: every line the routine asks for, recorded through the
// line operation's observer, and the pixels it leaves.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/runtime/flags.h"
#include "platform/screen/integer_arguments.h"
#include "platform/screen/line_drawing.h"
#include "support/page_testing.h"
#include "winding/winding_variables.h"

using namespace platform;
using testing_support::run_winding;

namespace {

struct recorded_line {
    float x1, y1, x2, y2;
};

struct point {
    std::int32_t x, y;
    bool operator==(const point&) const = default;
};

// Runs the routine with the data typed and records every draw_line call.
class recorded_run {
public:
    explicit recorded_run(const std::string& keys, run_options options = {}) {
        set_line_observer([this](float x1, float y1, float x2, float y2) { lines.push_back({x1, y1, x2, y2}); });
        result = run_winding(typed(keys), std::move(options));
        set_line_observer({});
    }

    std::vector<recorded_line> lines;
    run_result result;
};

point first_pixel(const recorded_line& l) { return {line_coordinate_to_int(l.x1), line_coordinate_to_int(l.y1)}; }
point second_pixel(const recorded_line& l) { return {line_coordinate_to_int(l.x2), line_coordinate_to_int(l.y2)}; }

// Index of a line of the worked example 2p = 4, z = 21, m = 1 in call order.
// Loop 40 runs i = -11..21 with 7 lines a pass; loop 58 runs j = 0, 2, ..20
// with loop 59 over i = -5..21, 2 lines a pass; loop 65 runs 5 x 15.
constexpr int coil_lines_per_pass = 7;
int coil_line(int i, int statement) {
    const int offset[] = {41, 42, 44, 45, 46, 47, 48};
    int k = 0;
    while (offset[k] != statement) ++k;
    return (i + 11) * coil_lines_per_pass + k;
}
int dash_line(int j, int i, int statement) { return 231 + ((j / 2) * 27 + (i + 5)) * 2 + (statement == 61); }
int boundary_line(int i, int j) { return 231 + 594 + i * 15 + j; }

void expect_near_single(float actual, double expected) {
    EXPECT_NEAR(actual, expected, 5e-5 * std::max(1.0, std::fabs(expected)));
}

} // namespace

TEST(WindingDiagram, WorkedExampleCallsAndEndPoints) {
    recorded_run run("4\r21\r1\r");
    ASSERT_EQ(run.lines.size(), 900u);
    const auto& L = run.lines;

    struct expected_line {
        int index;
        double x1, y1, x2, y2;
        point p1, p2;
    };
    const expected_line table[] = {
        {coil_line(-11, 41), -175.90477, 270, -175.90477, 170, {-176, 270}, {-176, 170}},
        {coil_line(-11, 42), -175.90477, 170, -116.38096, 120, {-176, 170}, {-116, 120}},
        {coil_line(-11, 44), 14.571426, 320, 86, 270, {15, 320}, {86, 270}},
        {coil_line(-11, 45), -128.28572, 320, -128.28572, 340, {-128, 320}, {-128, 340}},
        {coil_line(-11, 48), -116.38096, 340, -116.38096, 360, {-116, 340}, {-116, 360}},
        {coil_line(0, 41), 86, 270, 86, 170, {86, 270}, {86, 170}},
        {coil_line(0, 42), 86, 170, 145.5238, 120, {86, 170}, {146, 120}},
        {coil_line(0, 44), 276.4762, 320, 347.9048, 270, {276, 320}, {348, 270}},
        {coil_line(0, 45), 133.61905, 320, 133.61905, 340, {134, 320}, {134, 340}},
        {coil_line(0, 48), 145.5238, 340, 145.5238, 360, {146, 340}, {146, 360}},
        {dash_line(0, -5, 60), 26.476189, 120, 29.310656, 122.38095, {26, 120}, {29, 122}},
        {dash_line(0, -5, 61), -33.047623, 270, -29.646261, 272.38095, {-33, 270}, {-30, 272}},
        {dash_line(0, 0, 60), 145.5238, 120, 148.35828, 122.38095, {146, 120}, {148, 122}},
        {dash_line(0, 0, 61), 86, 270, 89.40136, 272.38095, {86, 270}, {89, 272}},
        {dash_line(20, 0, 60), 202.21315, 167.61905, 205.04762, 170, {202, 168}, {205, 170}},
        {dash_line(20, 0, 61), 154.02722, 317.61905, 157.42857, 320, {154, 318}, {157, 320}},
        {boundary_line(4, 14), 586, 380, 586, 390, {586, 380}, {586, 390}},
    };
    for (const expected_line& e : table) {
        SCOPED_TRACE("line " + std::to_string(e.index));
        const recorded_line& l = L[e.index];
        expect_near_single(l.x1, e.x1);
        expect_near_single(l.y1, e.y1);
        expect_near_single(l.x2, e.x2);
        expect_near_single(l.y2, e.y2);
        EXPECT_EQ(first_pixel(l), e.p1);
        EXPECT_EQ(second_pixel(l), e.p2);
    }
    // Both rails in every one of the 33 passes.
    for (int i = -11; i <= 21; ++i) {
        const recorded_line& upper = L[coil_line(i, 46)];
        const recorded_line& lower = L[coil_line(i, 47)];
        EXPECT_EQ(upper.x1, 86.0f);
        EXPECT_EQ(upper.x2, 725.0f);
        EXPECT_EQ(upper.y1, 340.0f);
        EXPECT_EQ(lower.y1, 360.0f);
    }
    // The first dash of every pole boundary starts at y 100.
    const int boundary_x[] = {86, 211, 336, 461, 586};
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(first_pixel(L[boundary_line(i, 0)]), (point{boundary_x[i], 100}));
        EXPECT_EQ(second_pixel(L[boundary_line(i, 0)]), (point{boundary_x[i], 110}));
    }
    // The last back dash ends where the coil side of position 5 begins, and
    // the last front dash of i = 0 ends on the front apex of the coil that starts at i = -5.
    EXPECT_EQ(L[dash_line(20, 0, 60)].x2, L[coil_line(5, 41)].x2);
    EXPECT_EQ(L[dash_line(20, 0, 60)].y2, L[coil_line(5, 41)].y2);
    EXPECT_EQ(L[dash_line(20, 0, 61)].x2, L[coil_line(-5, 44)].x1);
    EXPECT_EQ(L[dash_line(20, 0, 61)].y2, L[coil_line(-5, 44)].y1);
    // The loop variables keep the first value past their ends.
    const winding::winding_variables& v = winding::variables();
    EXPECT_EQ(v.dash_index, 15.0f); // loop 66 last ran to 14
    EXPECT_EQ(v.coil_index, 5.0f);  // loop 65 ran 0..4
    EXPECT_EQ(v.slot_number, 22.0f);
    EXPECT_EQ(v.back_dash_dx, 2.8344672f);
    EXPECT_EQ(v.back_dash_dy, 2.3809524f);
    EXPECT_EQ(v.front_dash_dx, 3.4013608f);
    EXPECT_EQ(v.front_dash_dy, 2.3809524f);
}

TEST(WindingDiagram, ExtendedEvaluationDecidesPixels) {
    // 2p = 2, z = 12, m = 1: the front apex of pass i = -11 is 23.499998 in
    // extended evaluation (pixel 23); step by step in Singles it is 23.5.
    {
        recorded_run run("2\r12\r1\r");
        const int pass = -11 + 13; // loop 40 starts at -y = -13
        const recorded_line& apex = run.lines[pass * coil_lines_per_pass + 2];
        EXPECT_EQ(apex.x1, 23.499998f);
        EXPECT_EQ(first_pixel(apex).x, 23);
        const float i = -11, y1 = 6, y2 = 7, spacing = 500.0f / 12.0f;
        volatile float half = y2 / 2;
        volatile float sum = i + y1;
        sum = sum + half;
        volatile float product = sum * spacing;
        const float single_steps = 86.0f + product;
        EXPECT_EQ(line_coordinate_to_int(single_steps), 24);
    }
    // 2p = 2, z = 8, m = 2: slot spacing 62.5; the sides at positions 1, 3, 5
    // and 7 fall half way between pixels and round to the even one.
    {
        recorded_run run("2\r8\r2\r");
        const int first_pass = -10; // loop 40 starts at -y = -10
        const int position[] = {1, 3, 5, 7};
        const int expected_x[] = {148, 274, 398, 524};
        for (int k = 0; k < 4; ++k) {
            const recorded_line& side = run.lines[(position[k] - first_pass) * coil_lines_per_pass];
            EXPECT_EQ(side.x1, 148.5f + 125.0f * static_cast<float>(k));
            EXPECT_EQ(first_pixel(side).x, expected_x[k]);
        }
    }
}

TEST(WindingDiagram, EdgeDataSetsGiveTheirPassAndCallCounts) {
    struct count_case {
        const char* keys;
        std::size_t calls;
    };
    const count_case table[] = {
        {"2\r0\r1\r", 81},       // 2 + 11 x 1 passes, 3 x 15 boundary dashes
        {"-2\r21\r1\r", 242},    // loop 40 none, loop 59 i = 11..21, loop 65 none
        {"-4\r21\r1\r", 429},    // 11 passes, 16 passes, none
        {"4\r-21\r1\r", 75},     // only the pole boundaries
        {"4\r22.5\r1.5\r", 936}, // 35 passes, 28 passes, 5 boundaries
        {"2\r1000\r2\r", 47088},
    };
    for (const count_case& c : table) {
        SCOPED_TRACE(c.keys);
        recorded_run run(c.keys);
        EXPECT_EQ(run.lines.size(), c.calls);
        EXPECT_EQ(run.result.end, run_end::key_waiting);
    }
}

TEST(WindingDiagram, InfiniteSlotSpacingLeavesOnlyTheRails) {
    recorded_run run("2\r0\r1\r");
    // Between y 70 and 370 only the two rails remain (16 pixels higher on the
    // finished screen), from x 86 to the trimmed edge at x 587.
    testing_support::pixel_set expected;
    for (int x = 86; x <= 587; ++x) {
        expected.insert({x, 324});
        expected.insert({x, 344});
    }
    EXPECT_EQ(testing_support::set_pixels(active_page(), 0, 70, 639, 370), expected);
}

TEST(WindingDiagram, NegativeSlotCountDrawsOnlyThePoleBoundaries) {
    recorded_run run("4\r-21\r1\r");
    const int boundary_x[] = {86, 211, 336, 461, 586};
    for (int i = 0; i < 5; ++i) {
        for (int j = 0; j < 15; ++j) {
            const recorded_line& l = run.lines[i * 15 + j];
            EXPECT_EQ(first_pixel(l), (point{boundary_x[i], 100 + 20 * j}));
            EXPECT_EQ(second_pixel(l), (point{boundary_x[i], 110 + 20 * j}));
        }
    }
}

TEST(WindingDiagram, CloseRequestDuringDrawingStopsAtTheNextCheck) {
    // The stop request comes from inside the 500th line: that statement ends,
    // its check parks the routine, and no later line is drawn.
    std::vector<recorded_line> lines;
    set_line_observer([&](float x1, float y1, float x2, float y2) {
        lines.push_back({x1, y1, x2, y2});
        if (lines.size() == 500) {
            flags().stop_requested.store(1);
            flags().event_pending.store(1);
        }
    });
    const run_result r = run_winding(typed("2\r1000\r2\r"));
    set_line_observer({});
    EXPECT_EQ(r.end, run_end::parked);
    EXPECT_EQ(lines.size(), 500u);
    EXPECT_EQ(flags().parked_threads.load() & 1, 1);
}
