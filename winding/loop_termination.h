// Whether the counted loops of the diagram and the labels would come to an
// end for the accepted data. Data whose loops would run for ever (an infinite
// or NaN bound in a loop that runs, or a counter that stops advancing beyond
// 2^24 in magnitude) are refused like impossible data.
#pragma once

#include "winding/winding_variables.h"

namespace winding {

// Dry-runs the counter of a step-1 counted loop with the routine's own loop
// arithmetic and tells whether it ends.
bool counted_loop_ends(long double start, long double end);

// The loops 40, 59, 65 and 98 with the bounds they would get.
bool diagram_loops_end(const winding_variables& v);

} // namespace winding
