#include "support/page_testing.h"

#include "platform/screen/glyphs.h"
#include "winding/winding_program.h"

namespace testing_support {

char cell_char(const platform::drawing_page& page, int row, int column) {
    const int x0 = 8 * (column - 1), y0 = 16 * (row - 1);
    for (int code = 0; code < 256; ++code) {
        const std::uint8_t* shape = platform::glyph(static_cast<std::uint8_t>(code));
        bool same = true;
        for (int i = 0; i < 16 && same; ++i) {
            for (int j = 0; j < 8 && same; ++j) {
                const std::uint8_t want = shape[i * 8 + j] != 0 ? 15 : 0;
                same = page.at(x0 + j, y0 + i) == want;
            }
        }
        if (same) return code == 0 || code == 255 ? ' ' : static_cast<char>(code);
    }
    return '?';
}

std::string row_text(const platform::drawing_page& page, int row) {
    std::string text;
    for (int c = 1; c <= 80; ++c) text.push_back(cell_char(page, row, c));
    return text;
}

pixel_set set_pixels(const platform::drawing_page& page, int left, int top, int right, int bottom) {
    pixel_set out;
    for (int y = top; y <= bottom; ++y)
        for (int x = left; x <= right; ++x)
            if (page.at(x, y) != 0) out.insert({x, y});
    return out;
}

int differing_pixels(const platform::drawing_page& a, const platform::drawing_page& b) {
    if (a.pixels.size() != b.pixels.size()) return -1;
    int n = 0;
    for (std::size_t i = 0; i < a.pixels.size(); ++i) n += a.pixels[i] != b.pixels[i];
    return n;
}

platform::run_result run_winding(platform::key_script keys, platform::run_options options) {
    options.keys = std::move(keys);
    return platform::run_headless([] { winding::winding_program(); }, std::move(options));
}

bool shows_rejection() { return row_text(platform::active_page(), 15).substr(29, 17) == "Wrong Data Entry!"; }

} // namespace testing_support
