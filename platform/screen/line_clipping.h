// Clipping of a line between two whole-pixel end points to a rectangle.
//
// The end points are held in 64 bits: converted coordinates may be as far out
// as -2147483648 and a viewport offset is added to them, so their
// differences need more than 32 bits.
#pragma once

#include <cstdint>

namespace platform {

struct line_point {
    std::int64_t x = 0;
    std::int64_t y = 0;
    bool operator==(const line_point&) const = default;
};

// Inclusive rectangle in page pixels.
struct clip_rect {
    std::int64_t left = 0;
    std::int64_t top = 0;
    std::int64_t right = 0;
    std::int64_t bottom = 0;
};

// Clips the line from p1 to p2 to the rectangle, moving the end points that
// lie outside onto its edges. Gives false when nothing of the line is drawn;
// otherwise both end points lie inside the rectangle.
bool clip_line(line_point& p1, line_point& p2, const clip_rect& r);

} // namespace platform
