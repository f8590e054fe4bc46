// Floating-point control of the calling thread: the x87 precision field.
#pragma once

#include <limits>

namespace platform {

// The routine evaluates every expression with a 64-bit mantissa in long
// double; with any other long double its results would differ.
static_assert(std::numeric_limits<long double>::digits == 64,
              "long double must be the x87 extended type with a 64-bit mantissa");

// Selects a 64-bit mantissa for the x87 unit of the calling thread, leaving
// the rounding mode and the exception masks as they are.
void set_extended_precision();

// The precision field of the x87 control word: 0 single, 2 double, 3 extended.
int x87_precision_field();

} // namespace platform
