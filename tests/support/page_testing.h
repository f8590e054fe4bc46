// Helpers for reading the drawing page and for running the routine in tests.
#pragma once

#include <set>
#include <string>
#include <utility>
#include <vector>

#include "platform/headless/headless_runtime.h"
#include "platform/screen/page.h"

namespace testing_support {

using pixel = std::pair<int, int>;
using pixel_set = std::set<pixel>;

// The character whose glyph (15 on 0) fills the cell, or '\x01'..: '?' when
// the cell matches no glyph. A blank cell reads ' '.
char cell_char(const platform::drawing_page& page, int row, int column);

// The 80 cells of a text row as characters (see cell_char).
std::string row_text(const platform::drawing_page& page, int row);

// Every pixel with a non-zero colour inside the rectangle (inclusive).
pixel_set set_pixels(const platform::drawing_page& page, int left = 0, int top = 0, int right = 639, int bottom = 479);

// Number of pixels that differ between two pages of the same size.
int differing_pixels(const platform::drawing_page& a, const platform::drawing_page& b);

// Runs the routine headlessly with these keys.
platform::run_result run_winding(platform::key_script keys, platform::run_options options = {});

// How a run of the routine ended with the data it was given: on to the
// diagram, or with "Wrong Data Entry!".
enum class outcome { accepted, rejected };

// Whether the active page shows the routine's rejection message on row 15.
bool shows_rejection();

} // namespace testing_support
