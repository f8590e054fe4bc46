// Whether the counted loops of the diagram and the labels would come to an
// end for the accepted data. Data whose loops would run for ever (an infinite
// or NaN bound in a loop that runs, or a counter that stops advancing beyond
// 2^24 in magnitude) are refused like impossible data.
//
// The decision follows the routine's own loop arithmetic pass by pass, but
// leaps over each stretch of passes in which adding 1 to the loop variable is
// exact: it takes a few dozen passes whatever the bounds, so the check
// between the tests and the diagram is over at once.
#pragma once

#include <cstdint>

#include "winding/winding_variables.h"

namespace winding {

struct loop_outcome {
    bool ends = false;
    // Passes followed one by one; the leaps over exact stretches count none.
    std::uint64_t passes_followed = 0;
};

// Follows the counter of a step-1 counted loop and tells whether it ends.
loop_outcome follow_counted_loop(long double start, long double end);

bool counted_loop_ends(long double start, long double end);

// The loops 40, 59, 65 and 98 with the bounds they would get.
bool diagram_loops_end(const winding_variables& v);

} // namespace winding
