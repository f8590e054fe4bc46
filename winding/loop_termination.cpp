#include "winding/loop_termination.h"

#include <cmath>
#include <cstdint>

#include "winding/counted_loop.h"

namespace winding {

namespace {

// Below 2^23 in magnitude adding 1 to a Single always moves it, so a loop
// whose bounds both lie in that band ends without needing a dry run.
constexpr double safe_band = 8388608.0;

// More passes than any loop that ends can take (from -2^24 - 2 up to 2^24 + 1
// is about 2^25), so running out of them means the loop does not end.
constexpr std::uint64_t pass_budget = std::uint64_t{1} << 26;

} // namespace

bool counted_loop_ends(long double start, long double end) {
    counted_loop loop(start, end, 1);
    const double first = loop.counter();
    const double last = loop.end();
    if (std::isnan(first) || std::isnan(last)) {
        // A NaN start or end makes every test false: the loop runs for ever
        // unless it never starts, and a NaN comparison never lets it stop.
        return false;
    }
    if (std::fabs(first) < safe_band && std::fabs(last) < safe_band) return true;
    float variable = 0;
    for (std::uint64_t pass = 0; pass < pass_budget; ++pass) {
        const double before = loop.counter();
        if (!loop.head(variable)) return true;
        loop.advance(variable);
        // The counter came back to where it was: the loop repeats one pass for ever.
        if (loop.counter() == before) return false;
    }
    return false;
}

bool diagram_loops_end(const winding_variables& v) {
    using ext = long double;
    // In the order the loops run; the first that would not end decides.
    return counted_loop_ends(-static_cast<ext>(v.winding_pitch), v.slot_count) &&
           counted_loop_ends(-static_cast<ext>(v.first_pitch), v.slot_count) &&
           counted_loop_ends(0, static_cast<ext>(v.pole_pairs) + static_cast<ext>(v.pole_pairs)) &&
           counted_loop_ends(1, v.slot_count);
}

} // namespace winding
