// The drawing page: the one 640 x 480, 16-colour picture that all drawing and
// printing writes and that the window shows, with its text and graphics state.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

namespace platform {

inline constexpr int page_width = 640;
inline constexpr int page_height = 480;
inline constexpr int page_pixel_count = page_width * page_height;
inline constexpr int cell_width = 8;
inline constexpr int cell_height = 16;
inline constexpr int text_columns = 80;
inline constexpr int text_rows = 30;
inline constexpr int page_colours = 16;

// The platform's initial blank text page, shown until the routine sets mode
// 12: 80 x 25 cells of 8 x 16 pixels.
inline constexpr int text_page_rows = 25;
inline constexpr int text_page_height = text_page_rows * cell_height;

struct text_position {
    std::int16_t column = 1;
    std::int16_t row = 1;
};

struct text_band {
    std::int16_t top = 1;
    std::int16_t bottom = 29;
};

struct viewport_rect {
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t right = 639;
    std::int32_t bottom = 479;
    std::int32_t offset_x = 0;
    std::int32_t offset_y = 0;
};

struct graphics_point {
    float x = 320.0f;
    float y = 240.0f;
};

// The page's text and graphics state, without the pixels and the palette: a
// screen mode sets it afresh as a whole. (The line entry's page copies are
// whole drawing_page copies: this state, the pixels and the palette.)
struct page_state {
    std::uint16_t width = page_width;
    std::uint16_t height = page_height;
    std::uint32_t color_mask = 15;
    std::uint16_t mode = 12;
    std::uint32_t foreground_color = 15;
    std::uint32_t background_color = 0;
    text_band text_window{};
    text_position text_cursor{};
    std::uint8_t pending_wrap = 0;
    viewport_rect viewport{};
    graphics_point graphics_cursor{};
    std::uint8_t clip_mode = 0;
};

struct drawing_page : page_state {
    std::vector<std::uint8_t> pixels;              // pixel (x, y) is byte width * y + x
    std::array<std::uint32_t, 256> page_palette{}; // colour number -> opaque 0xAARRGGBB

    std::uint8_t* row(int y) { return pixels.data() + static_cast<std::size_t>(y) * width; }
    const std::uint8_t* row(int y) const { return pixels.data() + static_cast<std::size_t>(y) * width; }
    std::uint8_t& at(int x, int y) { return row(y)[x]; }
    std::uint8_t at(int x, int y) const { return row(y)[x]; }
};

// The 256-entry constant palette, 0x00RRGGBB; the first 16 are the EGA/VGA colours.
extern const std::array<std::uint32_t, 256> default_palette;

// Fills a page record as screen mode 12 leaves it: every pixel 0, colours 15
// on 0, cursor at row 1 column 1, text window rows 1 to 29, no viewport.
void init_mode12_page(drawing_page& page);

// The platform's initial blank text page of 80 x 25 cells (640 x 400 pixels).
void init_text_page(drawing_page& page);

// The page that is written, read and shown.
drawing_page& active_page();

// Makes `fresh` the page that is written, read and shown; the former page is
// released. Only the screen-mode change and a reset call it.
void replace_active_page(std::unique_ptr<drawing_page> fresh);

} // namespace platform
