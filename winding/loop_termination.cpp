#include "winding/loop_termination.h"

#include <cmath>

#include "winding/counted_loop.h"

namespace winding {

namespace {

// More passes than any loop that ends can take, even one followed pass by
// pass (from -2^24 - 2 up to 2^24 + 1 is about 2^25), so running out of them
// means the loop does not end.
constexpr std::uint64_t pass_budget = std::uint64_t{1} << 26;

// A Single below 2^24 in magnitude gains exactly 1 per pass as long as the
// sum stays in the Single's binade (every multiple of its spacing there is a
// Single); counting up from a negative value, the magnitude falls into finer
// binades, so the stretch ends only at the binade's edge nearest to zero.
// Gives the last counter of the stretch that begins at `counter`: the
// counter itself when no pass can be leapt over.
double last_counter_of_exact_stretch(double counter) {
    if (counter == 0 || !std::isfinite(counter) || static_cast<double>(static_cast<float>(counter)) != counter)
        return counter;
    int exponent = 0;
    std::frexp(counter, &exponent); // |counter| lies in [2^(exponent - 1), 2^exponent)
    constexpr int single_mantissa_bits = 24;
    if (exponent > single_mantissa_bits) return counter; // the spacing is 2 or more: adding 1 is not exact
    if (counter > 0) {
        const double binade_top = std::ldexp(1.0, exponent); // first value past the binade
        return counter + (std::ceil(binade_top - counter) - 1);
    }
    const double binade_edge = -std::ldexp(1.0, exponent - 1); // the binade's value nearest to zero
    return counter + std::floor(binade_edge - counter);
}

} // namespace

loop_outcome follow_counted_loop(long double start, long double end) {
    counted_loop loop(start, end, 1);
    loop_outcome outcome;
    if (std::isnan(loop.counter()) || std::isnan(loop.end())) {
        // A NaN start or end makes every test false: the loop always starts
        // and no comparison ever lets it stop.
        return outcome;
    }
    float variable = 0;
    for (; outcome.passes_followed < pass_budget; ++outcome.passes_followed) {
        if (!loop.head(variable)) {
            outcome.ends = true;
            return outcome;
        }
        const double stretch_end = last_counter_of_exact_stretch(loop.counter());
        // The counters of the stretch rise by 1 from one at or below the end:
        // when the last of them is past the end, one of them ends the loop.
        if (stretch_end > loop.end()) {
            outcome.ends = true;
            return outcome;
        }
        if (stretch_end != loop.counter()) {
            loop = counted_loop(stretch_end, loop.end(), 1);
            loop.head(variable);
        }
        const double before = loop.counter();
        loop.advance(variable);
        // The counter came back to where it was: the loop repeats one pass for ever.
        if (loop.counter() == before) return outcome;
    }
    return outcome;
}

bool counted_loop_ends(long double start, long double end) { return follow_counted_loop(start, end).ends; }

bool diagram_loops_end(const winding_variables& v) {
    using ext = long double;
    // In the order the loops run; the first that would not end decides.
    return counted_loop_ends(-static_cast<ext>(v.winding_pitch), v.slot_count) &&
           counted_loop_ends(-static_cast<ext>(v.first_pitch), v.slot_count) &&
           counted_loop_ends(0, static_cast<ext>(v.pole_pairs) + static_cast<ext>(v.pole_pairs)) &&
           counted_loop_ends(1, v.slot_count);
}

} // namespace winding
