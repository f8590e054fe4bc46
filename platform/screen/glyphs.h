// The built-in 8 x 16 font: 256 glyphs of 16 rows of 8 one-byte pixels,
// glyph n at byte 128 n, 0 a background pixel and 255 a glyph pixel.
// The table is generated at build time from the system's code page 437 VGA
// console font.
#pragma once

#include <array>
#include <cstdint>

namespace platform {

inline constexpr int glyph_bytes = 128;

extern const std::array<std::uint8_t, 256 * glyph_bytes> glyph_table_8x16;

inline const std::uint8_t* glyph(std::uint8_t code) { return glyph_table_8x16.data() + code * glyph_bytes; }

} // namespace platform
