// The built-in 8 x 16 font and how a character cell is painted: the table is
// compared glyph for glyph with the system's console font, decoded here on
// its own, and a few code page 437 shapes are checked as printed.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "platform/headless/headless_runtime.h"
#include "platform/screen/glyphs.h"
#include "platform/screen/page.h"
#include "platform/text/text_output.h"

using namespace platform;

namespace {

// The font the build generated the glyph table from (CONSOLE_FONT in CMake).
constexpr const char* console_font = CONSOLE_FONT_PATH;

std::vector<unsigned char> read_console_font() {
    const std::string command = std::string("gzip -dc '") + console_font + "'";
    std::vector<unsigned char> data;
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) return data;
    unsigned char buffer[4096];
    std::size_t n = 0;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) data.insert(data.end(), buffer, buffer + n);
    pclose(pipe);
    return data;
}

// The glyph's 16 rows as bit patterns, leftmost pixel in the high bit.
std::array<std::uint8_t, 16> table_rows(std::uint8_t code) {
    std::array<std::uint8_t, 16> rows{};
    const std::uint8_t* g = glyph(code);
    for (int i = 0; i < 16; ++i)
        for (int j = 0; j < 8; ++j)
            if (g[i * 8 + j] != 0) rows[i] = static_cast<std::uint8_t>(rows[i] | (0x80 >> j));
    return rows;
}

// The 16 rows of the cell at (row, column) as bit patterns: a pixel counts as
// set when it holds `foreground`; every pixel must be foreground or background.
std::array<std::uint8_t, 16> cell_rows(const drawing_page& page, int row, int column, std::uint8_t foreground,
                                       std::uint8_t background, bool& only_two_colours) {
    std::array<std::uint8_t, 16> rows{};
    only_two_colours = true;
    for (int i = 0; i < 16; ++i) {
        for (int j = 0; j < 8; ++j) {
            const std::uint8_t v = page.at(8 * (column - 1) + j, 16 * (row - 1) + i);
            if (v == foreground) rows[i] = static_cast<std::uint8_t>(rows[i] | (0x80 >> j));
            else if (v != background) only_two_colours = false;
        }
    }
    return rows;
}

int set_count(const std::array<std::uint8_t, 16>& rows) {
    int n = 0;
    for (std::uint8_t r : rows) n += __builtin_popcount(r);
    return n;
}

class GlyphTable : public ::testing::Test {
protected:
    void SetUp() override {
        reset_runtime();
        init_mode12_page(page);
    }
    drawing_page page;
};

TEST_F(GlyphTable, MatchesTheConsoleFontGlyphForGlyphInCodePage437Order) {
    const std::vector<unsigned char> psf = read_console_font();
    ASSERT_GE(psf.size(), 4u + 256u * 16u) << "cannot read " << console_font;
    ASSERT_EQ(psf[0], 0x36);
    ASSERT_EQ(psf[1], 0x04);
    ASSERT_EQ(psf[3], 16) << "glyph height";
    for (int code = 0; code < 256; ++code) {
        const std::array<std::uint8_t, 16> rows = table_rows(static_cast<std::uint8_t>(code));
        for (int i = 0; i < 16; ++i) ASSERT_EQ(rows[i], psf[4 + 16 * code + i]) << "glyph " << code << " row " << i;
    }
    for (std::uint8_t byte : glyph_table_8x16) ASSERT_TRUE(byte == 0 || byte == 255);

    // The font's Unicode table says which character each glyph shows; the
    // glyphs must stand in code page 437 order.
    const bool has_table = (psf[2] & 0x02) != 0;
    ASSERT_TRUE(has_table);
    std::map<int, std::vector<unsigned>> shows;
    int g = 0;
    for (std::size_t k = 4 + 256 * 16; k + 1 < psf.size() && g < 256; k += 2) {
        const unsigned u = psf[k] | (psf[k + 1] << 8);
        if (u == 0xFFFF) ++g;
        else shows[g].push_back(u);
    }
    const std::pair<int, unsigned> cp437[] = {
        {1, 0x263A}, {65, 0x41}, {176, 0x2591}, {219, 0x2588}, {32, 0x20}, {196, 0x2500}, {227, 0x3C0},
    };
    for (const auto& [code, unicode] : cp437) {
        const std::vector<unsigned>& list = shows[code];
        EXPECT_NE(std::find(list.begin(), list.end(), unicode), list.end()) << "glyph " << code;
    }
}

TEST_F(GlyphTable, PrintedCharactersPaintTheirWholeCellAsTheFontHasThem) {
    // Fore- and background other than 15 on 0, over graphics, so that a cell
    // that is not painted whole or in the page's colours shows.
    page.foreground_color = 14;
    page.background_color = 1;
    for (auto& p : page.pixels) p = 9;
    const int codes[] = {1, 65, 176, 219, 0, 32, 255, 200};
    for (int k = 0; k < 8; ++k) {
        locate_cursor(page, 2, 1 + k);
        print_string(page, std::string(1, static_cast<char>(codes[k])), false);
    }
    std::map<int, std::array<std::uint8_t, 16>> drawn;
    for (int k = 0; k < 8; ++k) {
        bool two_colours = false;
        drawn[codes[k]] = cell_rows(page, 2, 1 + k, 14, 1, two_colours);
        EXPECT_TRUE(two_colours) << "code " << codes[k];
        EXPECT_EQ(drawn[codes[k]], table_rows(static_cast<std::uint8_t>(codes[k]))) << "code " << codes[k];
    }

    EXPECT_EQ(set_count(drawn[219]), 128) << "full block";
    for (int blank : {0, 32, 255}) EXPECT_EQ(set_count(drawn[blank]), 0) << "code " << blank;

    const std::array<std::uint8_t, 16> letter_a = {0x00, 0x00, 0x10, 0x38, 0x6C, 0xC6, 0xC6, 0xFE,
                                                   0xC6, 0xC6, 0xC6, 0xC6, 0x00, 0x00, 0x00, 0x00};
    EXPECT_EQ(drawn[65], letter_a);
    const std::array<std::uint8_t, 16> smiling_face = {0x00, 0x00, 0x7E, 0x81, 0xA5, 0x81, 0x81, 0xBD,
                                                       0x99, 0x81, 0x81, 0x7E, 0x00, 0x00, 0x00, 0x00};
    EXPECT_EQ(drawn[1], smiling_face);

    // Light shade: a quarter of the pixels, two in each row, none touching
    // another across a side.
    const std::array<std::uint8_t, 16>& shade = drawn[176];
    EXPECT_EQ(set_count(shade), 32);
    for (int i = 0; i < 16; ++i) {
        EXPECT_EQ(__builtin_popcount(shade[i]), 2) << "row " << i;
        EXPECT_EQ(shade[i] & (shade[i] << 1), 0) << "row " << i;
        if (i > 0) {
            EXPECT_EQ(shade[i] & shade[i - 1], 0) << "row " << i;
        }
    }

    // Nothing outside the eight cells was touched.
    int outside = 0;
    for (int y = 0; y < 480; ++y)
        for (int x = 0; x < 640; ++x)
            if (!(y >= 16 && y < 32 && x < 64)) outside += page.at(x, y) != 9;
    EXPECT_EQ(outside, 0);
}

TEST_F(GlyphTable, TextIgnoresTheViewport) {
    // A viewport in the right margin with an offset neither clips nor shifts text.
    page.viewport = {588, 0, 639, 479, 5, 5};
    page.clip_mode = 1;
    locate_cursor(page, 13, 10);
    print_string(page, std::string(1, static_cast<char>(219)), false);
    for (int y = 0; y < 480; ++y)
        for (int x = 0; x < 640; ++x) {
            const bool in_cell = x >= 72 && x < 80 && y >= 192 && y < 208;
            ASSERT_EQ(page.at(x, y), in_cell ? 15 : 0) << x << "," << y;
        }
}

} // namespace
