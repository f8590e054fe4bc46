// Text output on a mode 12 page: wrapping at column 80 and the pending wrap,
// empty texts, print zones, the fit check, scrolling of the text window,
// cursor placement, colours and the bell.
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <limits>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "platform/headless/headless_runtime.h"
#include "platform/runtime/errors.h"
#include "platform/runtime/flags.h"
#include "platform/runtime/hooks.h"
#include "platform/screen/page.h"
#include "platform/text/text_output.h"
#include "support/page_testing.h"

using namespace platform;
using testing_support::cell_char;
using testing_support::row_text;

namespace {

class TextEngine : public ::testing::Test {
protected:
    void SetUp() override {
        reset_runtime();
        init_mode12_page(page);
    }
    void TearDown() override {
        install_default_hooks();
        reset_flags();
    }

    drawing_page page;
};

// (row, column, pending_wrap): printed side by side on failure.
std::tuple<int, int, int> cursor_of(const drawing_page& p) {
    return {p.text_cursor.row, p.text_cursor.column, p.pending_wrap};
}

// n letters cycling through the alphabet, so that a misplaced character shows.
std::string letters(int n) {
    std::string s;
    for (int k = 0; k < n; ++k) s.push_back(static_cast<char>('A' + k % 26));
    return s;
}

std::string padded(const std::string& s) { return s + std::string(80 - s.size(), ' '); }

void fill_text_row(drawing_page& p, int row, std::uint8_t value) {
    for (int y = 16 * (row - 1); y < 16 * row; ++y)
        for (int x = 0; x < 640; ++x) p.at(x, y) = value;
}

bool cell_is(const drawing_page& p, int row, int column, std::uint8_t value) {
    for (int y = 16 * (row - 1); y < 16 * row; ++y)
        for (int x = 8 * (column - 1); x < 8 * column; ++x)
            if (p.at(x, y) != value) return false;
    return true;
}

bool cell_unchanged(const drawing_page& before, const drawing_page& after, int row, int column) {
    for (int y = 16 * (row - 1); y < 16 * row; ++y)
        for (int x = 8 * (column - 1); x < 8 * column; ++x)
            if (before.at(x, y) != after.at(x, y)) return false;
    return true;
}

// --- Wrapping -------------------------------------------------------------

struct wrap_case {
    int start_column;
    int length;
    bool newline;
    std::tuple<int, int, int> cursor; // row, column, pending_wrap after the print
};

TEST_F(TextEngine, TextsWrapAfterColumn80AndEndWithOneNewline) {
    const wrap_case cases[] = {
        {1, 80, false, {1, 80, 1}}, // ends in column 80: cursor stays, wrap pending
        {1, 80, true, {2, 1, 0}},   // exactly one row down, not two
        {1, 81, false, {2, 2, 0}},  // the 81st character starts the next row
        {1, 81, true, {3, 1, 0}},    {71, 10, false, {1, 80, 1}}, {71, 11, false, {2, 2, 0}},
        {1, 160, false, {2, 80, 1}}, {1, 160, true, {3, 1, 0}},   {1, 79, false, {1, 80, 0}},
    };
    for (const wrap_case& c : cases) {
        SCOPED_TRACE(testing::Message() << "start " << c.start_column << ", length " << c.length << ", newline "
                                        << c.newline);
        init_mode12_page(page);
        locate_cursor(page, 1, c.start_column);
        const std::string text = letters(c.length);
        print_string(page, text, c.newline);
        EXPECT_EQ(cursor_of(page), c.cursor);
        for (int k = 0; k < c.length; ++k) {
            const int cell = c.start_column - 1 + k;
            ASSERT_EQ(cell_char(page, 1 + cell / 80, 1 + cell % 80), text[k]) << "character " << k;
        }
        EXPECT_EQ(row_text(page, 4), padded(""));
    }
}

TEST_F(TextEngine, PendingWrapSendsTheNextNonEmptyPrintToTheNextRow) {
    print_string(page, letters(80), false);
    ASSERT_EQ(cursor_of(page), std::make_tuple(1, 80, 1));
    print_string(page, "Z", false);
    EXPECT_EQ(row_text(page, 1), letters(80));
    EXPECT_EQ(row_text(page, 2), padded("Z"));
    EXPECT_EQ(cursor_of(page), std::make_tuple(2, 2, 0));
}

TEST_F(TextEngine, PendingWrapOnTheBottomRowScrollsBeforeTheNextPrint) {
    locate_cursor(page, 29, 1);
    print_string(page, letters(80), false);
    ASSERT_EQ(cursor_of(page), std::make_tuple(29, 80, 1));
    EXPECT_EQ(row_text(page, 28), padded("")); // no scroll yet
    print_string(page, "Z", false);
    EXPECT_EQ(row_text(page, 28), letters(80));
    EXPECT_EQ(row_text(page, 29), padded("Z"));
    EXPECT_EQ(cursor_of(page), std::make_tuple(29, 2, 0));
}

TEST_F(TextEngine, LocateCursorCancelsAPendingWrap) {
    print_string(page, letters(80), false);
    locate_cursor(page, 5, 10);
    EXPECT_EQ(cursor_of(page), std::make_tuple(5, 10, 0));
    print_string(page, "Z", false);
    EXPECT_EQ(cell_char(page, 5, 10), 'Z');
    EXPECT_EQ(row_text(page, 2), padded(""));
}

struct empty_case {
    bool pending;
    bool newline;
    std::tuple<int, int, int> cursor;
};

TEST_F(TextEngine, EmptyTextsChangeNothingOrMoveDownExactlyOneRow) {
    const empty_case cases[] = {
        {false, false, {3, 5, 0}},
        {false, true, {4, 1, 0}},
        {true, false, {3, 80, 1}}, // the wrap stays pending
        {true, true, {4, 1, 0}},   // one row, not two, and the wrap is gone
    };
    for (const empty_case& c : cases) {
        SCOPED_TRACE(testing::Message() << "pending " << c.pending << ", newline " << c.newline);
        init_mode12_page(page);
        if (c.pending) {
            locate_cursor(page, 3, 71);
            print_string(page, letters(10), false);
        } else {
            locate_cursor(page, 3, 5);
        }
        const drawing_page before = page;
        print_string(page, "", c.newline);
        EXPECT_EQ(cursor_of(page), c.cursor);
        EXPECT_EQ(testing_support::differing_pixels(before, page), 0);
    }
}

// --- Print zones ----------------------------------------------------------

struct zone_case {
    int column;
    bool pending;
    int first_blank, last_blank; // 0, 0 when no blank is painted
    std::tuple<int, int, int> cursor;
};

TEST_F(TextEngine, ZoneJumpPaintsBlanksUpToTheNextZoneStart) {
    const zone_case cases[] = {
        {1, false, 1, 14, {1, 15, 0}},
        {15, false, 15, 28, {1, 29, 0}}, // at a zone start: on to the next one
        {20, false, 20, 28, {1, 29, 0}},
        {43, false, 43, 56, {1, 57, 0}}, // 57 is the last zone start
        {44, false, 44, 56, {1, 57, 0}},
        {50, false, 50, 56, {1, 57, 0}},
        {56, false, 56, 56, {1, 57, 0}}, // one blank reaches it
        {57, false, 57, 79, {1, 80, 0}}, // from the last zone start on to column 80
        {58, false, 58, 79, {1, 80, 0}}, // column 71 is no zone start
        {59, false, 59, 79, {1, 80, 0}},
        {67, false, 67, 79, {1, 80, 0}},
        {70, false, 70, 79, {1, 80, 0}},
        {80, false, 80, 80, {1, 80, 1}}, // the blank in column 80 leaves a pending wrap
        {80, true, 0, 0, {2, 1, 0}},     // a pending wrap: a newline and no blank
    };
    for (const zone_case& c : cases) {
        SCOPED_TRACE(testing::Message() << "column " << c.column << ", pending " << c.pending);
        init_mode12_page(page);
        fill_text_row(page, 1, 9);
        fill_text_row(page, 2, 9);
        locate_cursor(page, 1, c.column);
        if (c.pending) print_string(page, "X", false);
        const drawing_page before = page;
        tab_to_next_zone(page);
        EXPECT_EQ(cursor_of(page), c.cursor);
        for (int row = 1; row <= 2; ++row) {
            for (int column = 1; column <= 80; ++column) {
                const bool blank = row == 1 && column >= c.first_blank && column <= c.last_blank && c.first_blank > 0;
                if (blank) {
                    EXPECT_TRUE(cell_is(page, row, column, 0)) << "cell " << row << "," << column;
                } else {
                    EXPECT_TRUE(cell_unchanged(before, page, row, column)) << "cell " << row << "," << column;
                }
            }
        }
    }
}

// --- The fit check --------------------------------------------------------

struct fit_case {
    int column;
    int length;
    bool pending;
    std::tuple<int, int, int> cursor; // after newline_if_no_fit
};

TEST_F(TextEngine, FitCheckStartsANewRowOnlyForAPieceThatWouldPassColumn80) {
    const fit_case cases[] = {
        {69, 12, false, {1, 69, 0}}, // ends exactly in column 80: fits
        {69, 13, false, {2, 1, 0}},  {69, 14, false, {2, 1, 0}},
        {1, 100, false, {1, 1, 0}}, // column 1: never moved
        {80, 0, false, {1, 80, 0}}, // an empty text never moves
        {80, 1, false, {1, 80, 0}},  {80, 2, false, {2, 1, 0}},
        {80, 14, true, {1, 80, 1}}, // a pending wrap: nothing happens here
    };
    for (const fit_case& c : cases) {
        SCOPED_TRACE(testing::Message() << "column " << c.column << ", length " << c.length << ", pending "
                                        << c.pending);
        init_mode12_page(page);
        locate_cursor(page, 1, c.column);
        if (c.pending) print_string(page, "X", false);
        newline_if_no_fit(page, letters(c.length));
        EXPECT_EQ(cursor_of(page), c.cursor);
    }
}

TEST_F(TextEngine, SecondPitchPieceAtColumn69FitsWith12CharactersAndMovesWith14) {
    locate_cursor(page, 4, 64);
    print_string(page, "y2 = ", false);
    ASSERT_EQ(cursor_of(page), std::make_tuple(4, 69, 0));
    const std::string fits = "-1.234568   "; // 12 characters
    newline_if_no_fit(page, fits);
    print_string(page, fits, false);
    EXPECT_EQ(row_text(page, 4), std::string(63, ' ') + "y2 = " + fits);
    EXPECT_EQ(cursor_of(page), std::make_tuple(4, 80, 1));

    init_mode12_page(page);
    locate_cursor(page, 4, 64);
    print_string(page, "y2 = ", false);
    const std::string moves = "-1.234568E+07 "; // 14 characters
    newline_if_no_fit(page, moves);
    print_string(page, moves, false);
    EXPECT_EQ(row_text(page, 4), padded(std::string(63, ' ') + "y2 = "));
    EXPECT_EQ(row_text(page, 5), padded(moves));
    EXPECT_EQ(cursor_of(page), std::make_tuple(5, 15, 0));
}

// --- Scrolling ------------------------------------------------------------

std::uint8_t pattern(int x, int y) { return static_cast<std::uint8_t>((x + 7 * y) % 16); }

struct scroll_case {
    int window_top, window_bottom;
    int cursor_row;
    bool scrolls;
    int cursor_row_after;
};

TEST_F(TextEngine, NewlinePastTheWindowMovesItsRowsUpWithGraphicsAndBlanksTheBottomRow) {
    const scroll_case cases[] = {
        {1, 29, 29, true, 29},  // the web line's newline on the bottom row
        {1, 29, 30, true, 29},  // from row 30 the window scrolls too; row 30 stays
        {30, 30, 30, true, 30}, // the closing prompt's one-row window
        {1, 29, 5, false, 6},
    };
    for (const scroll_case& c : cases) {
        SCOPED_TRACE(testing::Message() << "window " << c.window_top << ".." << c.window_bottom << ", row "
                                        << c.cursor_row);
        init_mode12_page(page);
        page.background_color = 6; // so that the blanked row cannot pass for untouched zeros
        for (int y = 0; y < 480; ++y)
            for (int x = 0; x < 640; ++x) page.at(x, y) = pattern(x, y);
        set_text_window(page, c.window_top, c.window_bottom);
        locate_cursor(page, c.cursor_row, 7);
        print_string(page, "", true);
        EXPECT_EQ(cursor_of(page), std::make_tuple(c.cursor_row_after, 1, 0));

        const int first_moved = 16 * (c.window_top - 1);
        const int bottom_first = 16 * (c.window_bottom - 1);
        int wrong = 0;
        for (int y = 0; y < 480; ++y) {
            for (int x = 0; x < 640; ++x) {
                std::uint8_t want = pattern(x, y);
                if (c.scrolls && y >= first_moved && y < bottom_first) want = pattern(x, y + 16);
                if (c.scrolls && y >= bottom_first && y < bottom_first + 16) want = 6;
                wrong += page.at(x, y) != want;
            }
        }
        EXPECT_EQ(wrong, 0);
    }
}

// --- Cursor placement, colours and refused arguments -----------------------

TEST_F(TextEngine, LocateCursorAcceptsRow30AndColumn80) {
    for (const auto& [row, column] : {std::pair{30, 1}, std::pair{29, 80}, std::pair{1, 1}}) {
        locate_cursor(page, row, column);
        EXPECT_EQ(cursor_of(page), std::make_tuple(row, column, 0));
    }
    EXPECT_EQ(flags().error_pending.load(), 0);
    // Placing the cursor on row 30 below the window draws nothing and scrolls nothing.
    EXPECT_TRUE(testing_support::set_pixels(page).empty());
}

struct refused_case {
    const char* what;
    std::function<void(drawing_page&)> call;
};

// Everything that a refused call must leave as it was.
std::tuple<int, int, int, unsigned, int, int> text_state(const drawing_page& p) {
    return {p.text_cursor.row,  p.text_cursor.column, p.pending_wrap,
            p.foreground_color, p.text_window.top,    p.text_window.bottom};
}

TEST_F(TextEngine, OutOfRangeArgumentsRaiseError5AndChangeNothing) {
    const refused_case cases[] = {
        {"locate (0, 1)", [](drawing_page& p) { locate_cursor(p, 0, 1); }},
        {"locate (31, 1)", [](drawing_page& p) { locate_cursor(p, 31, 1); }},
        {"locate (1, 0)", [](drawing_page& p) { locate_cursor(p, 1, 0); }},
        {"locate (1, 81)", [](drawing_page& p) { locate_cursor(p, 1, 81); }},
        {"colour 16", [](drawing_page& p) { set_color(p, 16); }},
        {"colour -1", [](drawing_page& p) { set_color(p, static_cast<std::uint32_t>(-1)); }},
        {"window (0, 29)", [](drawing_page& p) { set_text_window(p, 0, 29); }},
        {"window (5, 4)", [](drawing_page& p) { set_text_window(p, 5, 4); }},
        {"window (1, 31)", [](drawing_page& p) { set_text_window(p, 1, 31); }},
    };
    for (const refused_case& c : cases) {
        SCOPED_TRACE(c.what);
        reset_flags();
        init_mode12_page(page);
        locate_cursor(page, 7, 71);
        print_string(page, letters(10), false); // cursor 7, 80 with a pending wrap
        const drawing_page before = page;
        c.call(page);
        EXPECT_EQ(flags().error_pending.load(), illegal_function_call);
        EXPECT_EQ(flags().event_pending.load(), 1);
        EXPECT_EQ(text_state(page), text_state(before));
        EXPECT_EQ(testing_support::differing_pixels(before, page), 0);
    }
}

TEST_F(TextEngine, WhileAnErrorIsPendingTextOperationsDoNothing) {
    locate_cursor(page, 3, 3);
    raise_error(illegal_function_call);
    const drawing_page before = page;
    locate_cursor(page, 10, 10);
    set_color(page, 4);
    print_string(page, "ABC", true);
    newline_if_no_fit(page, letters(100));
    tab_to_next_zone(page);
    set_text_window(page, 30, 30);
    EXPECT_EQ(text_state(page), text_state(before));
    EXPECT_EQ(testing_support::differing_pixels(before, page), 0);
}

TEST_F(TextEngine, SetColorChangesTheColourOfLaterCharactersOnly) {
    print_string(page, "AB", false);
    const drawing_page before = page;
    set_color(page, 15);
    EXPECT_EQ(testing_support::differing_pixels(before, page), 0);
    set_color(page, 4);
    EXPECT_EQ(testing_support::differing_pixels(before, page), 0);
    EXPECT_EQ(page.foreground_color, 4u);
    EXPECT_EQ(page.background_color, 0u);
    print_string(page, "A", false);
    // The new 'A' in column 3 has the shape of the old one in column 1, in colour 4.
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 8; ++x) ASSERT_EQ(page.at(16 + x, y), page.at(x, y) != 0 ? 4 : 0);
    EXPECT_EQ(flags().error_pending.load(), 0);
}

// --- The bell -------------------------------------------------------------

TEST_F(TextEngine, Code7PausesThroughTheBellPollAndDrawsNothing) {
    std::vector<std::pair<poll_site, int>> sleeps;
    hooks().sleep = [&](poll_site site, int milliseconds) { sleeps.push_back({site, milliseconds}); };

    print_string(page, "\a", false);
    EXPECT_EQ(sleeps, (std::vector<std::pair<poll_site, int>>{{poll_site::bell, 250}}));
    EXPECT_EQ(cursor_of(page), std::make_tuple(1, 1, 0));
    EXPECT_TRUE(testing_support::set_pixels(page).empty());

    sleeps.clear();
    print_string(page, "A\aB", false);
    EXPECT_EQ(sleeps, (std::vector<std::pair<poll_site, int>>{{poll_site::bell, 250}}));
    EXPECT_EQ(row_text(page, 1), padded("AB"));
    EXPECT_EQ(cursor_of(page), std::make_tuple(1, 3, 0));
}

} // namespace
