// The finished screen: results line, credit lines, margin trimming and slot
// labels, read off the page after a headless run.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "platform/screen/page.h"
#include "support/page_file.h"
#include "support/page_testing.h"

using namespace platform;
using testing_support::cell_char;
using testing_support::row_text;
using testing_support::run_winding;
using testing_support::set_pixels;

namespace {

std::string blank_row() { return std::string(80, ' '); }

// Places `text` in a row of 80 cells from column `column`.
void put(std::string& row, int column, const std::string& text) { row.replace(column - 1, text.size(), text); }

// The label cells that a slot number prints: from `first` column on.
std::string cells(const drawing_page& page, int row, int first, int count) {
    std::string out;
    for (int c = first; c < first + count; ++c) out.push_back(cell_char(page, row, c));
    return out;
}

bool column_set(const drawing_page& page, int x, int top, int bottom) {
    for (int y = top; y <= bottom; ++y)
        if (page.at(x, y) == 0) return false;
    return true;
}

} // namespace

TEST(FinishedScreen, WorkedExampleResultsCreditsAndEmptyRows) {
    const run_result r = run_winding(typed("4\r21\r1\r"));
    ASSERT_EQ(r.end, run_end::key_waiting);
    const drawing_page& page = active_page();

    std::string row3 = blank_row();
    put(row3, 12, "p' = ");
    put(row3, 17, " 4 ");
    put(row3, 25, "z = ");
    put(row3, 29, " 21 ");
    put(row3, 38, "m = ");
    put(row3, 42, " 1 ");
    put(row3, 51, "y1 = ");
    put(row3, 56, " 5 ");
    put(row3, 64, "y2 = ");
    put(row3, 69, " 6 ");
    EXPECT_EQ(row_text(page, 3), row3);

    std::string row27 = blank_row();
    put(row27, 16, "K. Varbo (1993), R. Velisk (2017), PLM Orvik, MALDOR");
    EXPECT_EQ(row_text(page, 27), row27);
    std::string row28 = blank_row();
    put(row28, 30, " windings-tool.example");
    EXPECT_EQ(row_text(page, 28), row28);
    for (int row : {1, 2, 4, 5, 25, 26, 29, 30}) EXPECT_EQ(row_text(page, row), blank_row()) << "row " << row;

    // After the last label the cursor stands at row 15, column 1.
    EXPECT_EQ(page.text_cursor.row, 15);
    EXPECT_EQ(page.text_cursor.column, 1);
    // The right margin's viewport stays in force.
    EXPECT_EQ(page.viewport.left, 588);
    EXPECT_EQ(page.viewport.top, 70);
    EXPECT_EQ(page.viewport.right, 639);
    EXPECT_EQ(page.viewport.bottom, 370);
    EXPECT_EQ(page.clip_mode, 1);
}

TEST(FinishedScreen, WorkedExampleLabels) {
    run_winding(typed("4\r21\r1\r"));
    const drawing_page& page = active_page();
    const int label_column[] = {11, 13, 16, 19, 22, 25, 28, 31, 34, 37, 40, 43, 46, 49, 52, 55, 58, 61, 64, 67, 70};
    for (int slot = 1; slot <= 21; ++slot) {
        SCOPED_TRACE("slot " + std::to_string(slot));
        const int row = slot % 2 == 0 ? 13 : 14;
        const int column = label_column[slot - 1];
        if (slot < 10) {
            EXPECT_EQ(cells(page, row, column, 3), "0" + std::to_string(slot) + " ");
        } else {
            EXPECT_EQ(cells(page, row, column - 1, 4), " " + std::to_string(slot) + " ");
        }
    }
}

TEST(FinishedScreen, WorkedExampleCoilSidesPoleBoundariesAndTrimming) {
    run_winding(typed("4\r21\r1\r"));
    const drawing_page& page = active_page();
    const int side_x[] = {86,  110, 134, 157, 181, 205, 229, 253, 276, 300, 324,
                          348, 372, 396, 419, 443, 467, 491, 515, 538, 562};
    for (int slot = 1; slot <= 21; ++slot) {
        SCOPED_TRACE("slot " + std::to_string(slot));
        const int x = side_x[slot - 1];
        // Each side is cut only on its own label's row.
        const bool on_row_13 = slot % 2 == 0;
        const int cut_top = on_row_13 ? 192 : 208;
        EXPECT_TRUE(column_set(page, x, 154, cut_top - 1));
        EXPECT_TRUE(column_set(page, x, cut_top + 16, 254));
        EXPECT_FALSE(column_set(page, x, cut_top, cut_top + 15));
    }
    EXPECT_TRUE(column_set(page, 586, 154, 254));
    // Pole boundary at x 211: its dashes at y 184..194 and 204..214 lose the
    // part inside the blank cell after label 06 (row 13, y 192..207).
    EXPECT_TRUE(column_set(page, 211, 184, 191));
    EXPECT_EQ(page.at(211, 193), 0);
    EXPECT_EQ(page.at(211, 205), 0);
    EXPECT_TRUE(column_set(page, 211, 208, 214));

    // Trimmed strips: between y 70 and 370 nothing is left of x 85 but the
    // "0" of slot 1's label (x 80..87 on row 14), and nothing right of x 587.
    for (const auto& [x, y] : set_pixels(page, 0, 70, 84, 370)) {
        EXPECT_GE(x, 80);
        EXPECT_GE(y, 208);
        EXPECT_LE(y, 223);
    }
    EXPECT_TRUE(set_pixels(page, 588, 70, 639, 370).empty());
    // Outside the strips the diagram goes on: the rails stand at y 324 and 344.
    EXPECT_TRUE(page.at(587, 324) != 0 && page.at(587, 344) != 0);
    EXPECT_TRUE(page.at(586, 254) != 0);
}

TEST(FinishedScreen, LabelCases) {
    struct label_case {
        const char* keys;
        int row, first_column;
        const char* text;
    };
    const label_case table[] = {
        {"2\r1\r1\r", 14, 11, "01 "},     // one slot: one label
        {"2\r41\r1\r", 14, 70, " 41 "},   // the last label: label_column 71, printed from 70
        {"2\r42\r2\r", 13, 42, "2 "},     // slot 22 keeps only its first digit
        {"2\r150\r2\r", 13, 71, " 150 "}, // three digits from label_column
    };
    for (const label_case& c : table) {
        SCOPED_TRACE(c.keys);
        const run_result r = run_winding(typed(c.keys));
        ASSERT_EQ(r.end, run_end::key_waiting);
        const int n = static_cast<int>(std::string(c.text).size());
        EXPECT_EQ(cells(active_page(), c.row, c.first_column, n), c.text);
    }
}

TEST(FinishedScreen, FortyOneSlotsKeepEveryLabelWhole) {
    run_winding(typed("2\r41\r1\r"));
    const drawing_page& page = active_page();
    for (int slot = 1; slot <= 41; ++slot) {
        SCOPED_TRACE("slot " + std::to_string(slot));
        const int column = static_cast<int>((slot - 1) * (62.0L / 41) + 11);
        const int row = slot % 2 == 0 ? 13 : 14;
        if (slot < 10) {
            EXPECT_EQ(cells(page, row, column, 2), "0" + std::to_string(slot));
        } else {
            EXPECT_EQ(cells(page, row, column, 2), std::to_string(slot));
        }
    }
}

TEST(FinishedScreen, SlotCountsBelowOneGiveNoLabelAndNonWholeCountsLabelWholeSlots) {
    run_winding(typed("4\r-21\r-1\r"));
    EXPECT_EQ(row_text(active_page(), 3).substr(28, 4), "-21 ");
    for (int row : {13, 14}) {
        const std::string text = row_text(active_page(), row);
        EXPECT_EQ(text.find_first_of("0123456789"), std::string::npos) << "row " << row;
    }
    run_winding(typed("4\r22.5\r1.5\r"));
    const std::string row3 = row_text(active_page(), 3);
    EXPECT_EQ(row3.substr(28, 6), " 22.5 ");
    EXPECT_EQ(row3.substr(41, 5), " 1.5 ");
    // Slot 22 is the last label: label_column = floor(21 x 62 / 22.5 + 11) = 68.
    EXPECT_EQ(cells(active_page(), 13, 67, 4), " 22 ");
}

TEST(FinishedScreen, LongNumberTexts) {
    // A y2 of 12,345,678 has a 13-character text: its piece does not fit in
    // columns 69 to 80 and is moved to row 5 (row 4 after the scroll). These
    // data give it without a long diagram: y = 0 and y1 = -12,345,678.
    run_winding(typed("2\r-24691356\r24691356\r"));
    std::string row4 = blank_row();
    put(row4, 1, " 1.234568E+07 ");
    EXPECT_EQ(row_text(active_page(), 4), row4);
    EXPECT_EQ(row_text(active_page(), 3).substr(63, 5), "y2 = ");
    EXPECT_EQ(row_text(active_page(), 3).substr(68, 12), std::string(11, ' ') + " ");

    // A 13-character p' is overprinted from column 25 by "z = ".
    run_winding(typed("-12345678\r21\r-6172860\r"));
    EXPECT_EQ(row_text(active_page(), 3).substr(16, 12), "-1.23456z = ");
}

TEST(FinishedScreen, InfinitiesAndNaNOnTheResultsLine) {
    run_winding(typed("0\r-1\r-1\r"));
    std::string row3 = blank_row();
    put(row3, 12, "p' = ");
    put(row3, 17, " 0 ");
    put(row3, 25, "z = ");
    put(row3, 29, "-1 ");
    put(row3, 38, "m = ");
    put(row3, 42, "-1 ");
    put(row3, 51, "y1 = ");
    put(row3, 56, "-INF ");
    put(row3, 64, "y2 = ");
    put(row3, 69, " NAN ");
    EXPECT_EQ(row_text(active_page(), 3), row3);
}

TEST(FinishedScreen, GoldenPageOfTheWorkedExample) {
    // Regenerate with UPDATE_GOLDEN=1 after a reviewed change of the screen.
    run_winding(typed("4\r21\r1\r"));
    const drawing_page& page = active_page();
    const testing_support::page_pixels actual{page.width, page.height, page.pixels};
    const std::string path = testing_support::test_data_dir() + "/worked_example_4_21_1.runs";
    if (std::getenv("UPDATE_GOLDEN") != nullptr) {
        ASSERT_TRUE(testing_support::save_page_runs(path, actual));
        testing_support::save_page_ppm(testing_support::test_data_dir() + "/worked_example_4_21_1.ppm", actual);
    }
    const auto golden = testing_support::load_page_runs(path);
    ASSERT_TRUE(golden.has_value()) << "missing or unreadable " << path;
    ASSERT_EQ(golden->width, 640);
    ASSERT_EQ(golden->height, 480);
    int differing = 0;
    for (std::size_t i = 0; i < golden->pixels.size(); ++i) differing += golden->pixels[i] != page.pixels[i];
    EXPECT_EQ(differing, 0);
}
