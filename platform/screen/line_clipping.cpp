// Clipping of a line to a rectangle: an end point outside is moved onto the
// first edge, of right, left, top and bottom in that order, whose crossing
// with the line lies on the rectangle.
#include "platform/screen/line_clipping.h"

#include "platform/screen/integer_arguments.h"

namespace platform {

namespace {

std::int64_t magnitude(std::int64_t v) { return v < 0 ? -v : v; }

// The crossing of the line from `from` towards `to` after `run` units along
// the axis that meets the edge: from_minor + run * (to_minor - from_minor) /
// |to_major - from_major|. The slope factor is formed in extended precision
// and kept as a double, the product and the sum likewise; the result is the
// double that is compared with the rectangle.
double crossing(std::int64_t from_minor, std::int64_t to_minor, std::int64_t from_major, std::int64_t to_major,
                std::int64_t run) {
    const double slope = static_cast<double>(static_cast<long double>(to_minor - from_minor) /
                                             static_cast<long double>(magnitude(to_major - from_major)));
    return static_cast<double>(static_cast<long double>(from_minor) +
                               static_cast<long double>(run) * static_cast<long double>(slope));
}

// A crossing as a whole pixel: rounded to a single first, then to the
// nearest integer with ties to even (100.5 gives 100, 101.5 gives 102).
std::int64_t crossing_pixel(double value) { return line_coordinate_to_int(static_cast<float>(value)); }

bool within(double value, std::int64_t low, std::int64_t high) {
    return static_cast<double>(low) <= value && value <= static_cast<double>(high);
}

// Moves `moving`, which lies outside the rectangle, onto the first edge whose
// condition holds and whose crossing lies within the edge. Gives false when
// no edge qualifies.
bool move_onto_edge(line_point& moving, const line_point& other, const clip_rect& r) {
    if (moving.x > r.right && other.x < moving.x) {
        const double y = crossing(moving.y, other.y, moving.x, other.x, moving.x - r.right);
        if (within(y, r.top, r.bottom)) {
            moving = {r.right, crossing_pixel(y)};
            return true;
        }
    }
    if (moving.x < r.left && other.x > moving.x) {
        const double y = crossing(moving.y, other.y, moving.x, other.x, r.left - moving.x);
        if (within(y, r.top, r.bottom)) {
            moving = {r.left, crossing_pixel(y)};
            return true;
        }
    }
    if (moving.y < r.top && other.y > moving.y) {
        const double x = crossing(moving.x, other.x, moving.y, other.y, r.top - moving.y);
        if (within(x, r.left, r.right)) {
            moving = {crossing_pixel(x), r.top};
            return true;
        }
    }
    if (moving.y > r.bottom && other.y < moving.y) {
        const double x = crossing(moving.x, other.x, moving.y, other.y, moving.y - r.bottom);
        if (within(x, r.left, r.right)) {
            moving = {crossing_pixel(x), r.bottom};
            return true;
        }
    }
    return false;
}

bool both_beyond_one_edge(const line_point& p1, const line_point& p2, const clip_rect& r) {
    return (p1.x < r.left && p2.x < r.left) || (p1.x > r.right && p2.x > r.right) || (p1.y < r.top && p2.y < r.top) ||
           (p1.y > r.bottom && p2.y > r.bottom);
}

bool is_inside(const line_point& p, const clip_rect& r) {
    return r.left <= p.x && p.x <= r.right && r.top <= p.y && p.y <= r.bottom;
}

} // namespace

bool clip_line(line_point& p1, line_point& p2, const clip_rect& r) {
    if (is_inside(p1, r)) {
        if (p2 == p1) return true;
    } else {
        if (p2 == p1 || both_beyond_one_edge(p1, p2, r)) return false;
        if (!move_onto_edge(p1, p2, r)) return false;
    }
    // The second end point is moved along the line from the first as it now
    // stands, not from the first as it was passed.
    return is_inside(p2, r) || move_onto_edge(p2, p1, r);
}

} // namespace platform
