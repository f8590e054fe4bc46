// Printing on the page: cells drawn glyph by glyph, wrap and scroll, print
// zones, the fit check, the cursor, the colour and the text window.
#include "platform/text/text_output.h"

#include <cstring>

#include "platform/runtime/errors.h"
#include "platform/runtime/flags.h"
#include "platform/runtime/hooks.h"
#include "platform/runtime/temp_strings.h"
#include "platform/screen/glyphs.h"

namespace platform {

namespace {

constexpr std::uint8_t bell_code = 7;
constexpr int bell_milliseconds = 250;

int screen_rows(const drawing_page& page) { return page.height / cell_height; }
int screen_columns(const drawing_page& page) { return page.width / cell_width; }

// The last column at which a whole 14-column zone can start on an 80-column
// row: a zone starting at 71 would not hold 14 columns, so the jump stops at
// 15, 29, 43 and 57 (and 1), and runs on to column 80 from 57 or more.
constexpr int last_zone_start = 67;

bool is_zone_start(int column) { return (column - 1) % print_zone_width == 0 && column <= last_zone_start; }

void draw_glyph(drawing_page& page, std::uint8_t code) {
    const int x0 = cell_width * (page.text_cursor.column - 1);
    const int y0 = cell_height * (page.text_cursor.row - 1);
    if (x0 < 0 || y0 < 0 || x0 + cell_width > page.width || y0 + cell_height > page.height) return;
    const std::uint8_t fore = static_cast<std::uint8_t>(page.foreground_color & page.color_mask);
    const std::uint8_t back = static_cast<std::uint8_t>(page.background_color & page.color_mask);
    const std::uint8_t* shape = glyph(code);
    for (int i = 0; i < cell_height; ++i) {
        std::uint8_t* out = page.row(y0 + i) + x0;
        for (int j = 0; j < cell_width; ++j) out[j] = shape[i * cell_width + j] != 0 ? fore : back;
    }
}

void text_newline(drawing_page& page) {
    page.text_cursor.column = 1;
    page.text_cursor.row = static_cast<std::int16_t>(page.text_cursor.row + 1);
    const int top = page.text_window.top;
    const int bottom = page.text_window.bottom;
    if (page.text_cursor.row <= bottom) return;
    // Scroll the text window: rows top+1..bottom move up one text row, all
    // pixels wide (graphics included), and the bottom row is blanked.
    const std::size_t row_bytes = static_cast<std::size_t>(cell_height) * page.width;
    std::uint8_t* base = page.pixels.data();
    if (bottom > top) {
        std::memmove(base + (top - 1) * row_bytes, base + top * row_bytes, row_bytes * (bottom - top));
    }
    std::memset(base + (bottom - 1) * row_bytes, static_cast<int>(page.background_color & page.color_mask), row_bytes);
    page.text_cursor.row = static_cast<std::int16_t>(bottom);
}

} // namespace

void print_string(drawing_page& page, std::string_view text, bool newline) {
    if (error_is_pending()) return;
    if (page.pending_wrap != 0) {
        if (!text.empty()) {
            page.pending_wrap = 0;
            text_newline(page);
        } else if (newline) {
            page.pending_wrap = 0;
        } else {
            return;
        }
    }
    const int last_column = screen_columns(page);
    bool wrap_mark = false;
    for (std::size_t k = 0; k < text.size(); ++k) {
        wrap_mark = false;
        const auto code = static_cast<std::uint8_t>(text[k]);
        if (code == bell_code) {
            poll_sleep(poll_site::bell, bell_milliseconds);
            continue;
        }
        draw_glyph(page, code);
        page.text_cursor.column = static_cast<std::int16_t>(page.text_cursor.column + 1);
        if (page.text_cursor.column > last_column) {
            if (!newline && k + 1 == text.size()) {
                page.text_cursor.column = static_cast<std::int16_t>(last_column);
                page.pending_wrap = 1;
            } else {
                text_newline(page);
                wrap_mark = true;
            }
        }
    }
    if (newline && !wrap_mark) text_newline(page);
}

void newline_if_no_fit(drawing_page& page, std::string_view text) {
    if (error_is_pending()) return;
    if (page.pending_wrap != 0 || page.text_cursor.column == 1) return;
    const long long right = static_cast<long long>(cell_width) * (page.text_cursor.column - 1) +
                            static_cast<long long>(cell_width) * static_cast<long long>(text.size());
    if (right > page.width) text_newline(page);
}

void tab_to_next_zone(drawing_page& page) {
    if (error_is_pending()) return;
    if (page.pending_wrap != 0) {
        text_newline(page);
        page.pending_wrap = 0;
        return;
    }
    const int last_column = screen_columns(page);
    do {
        print_string(page, one_blank_text, false);
    } while (!is_zone_start(page.text_cursor.column) && page.text_cursor.column < last_column);
}

void locate_cursor(drawing_page& page, std::int32_t row, std::int32_t column) {
    if (error_is_pending()) return;
    const bool row_ok = row >= page.text_window.top && (row <= page.text_window.bottom || row == screen_rows(page));
    const bool column_ok = column >= 1 && column <= screen_columns(page);
    if (!row_ok || !column_ok) {
        raise_error(illegal_function_call);
        return;
    }
    page.text_cursor.row = static_cast<std::int16_t>(row);
    page.text_cursor.column = static_cast<std::int16_t>(column);
    page.pending_wrap = 0;
}

void set_color(drawing_page& page, std::uint32_t foreground) {
    if (error_is_pending()) return;
    if (foreground > page.color_mask) {
        raise_error(illegal_function_call);
        return;
    }
    page.foreground_color = foreground;
}

void set_text_window(drawing_page& page, std::int32_t top, std::int32_t bottom) {
    if (error_is_pending()) return;
    const int rows = screen_rows(page);
    if (top < 1 || top > rows || bottom < top || bottom > rows) {
        raise_error(illegal_function_call);
        return;
    }
    page.text_window.top = static_cast<std::int16_t>(top);
    page.text_window.bottom = static_cast<std::int16_t>(bottom);
    page.text_cursor.row = static_cast<std::int16_t>(top);
    page.text_cursor.column = 1;
    page.pending_wrap = 0;
}

} // namespace platform
