// Floating-point control of the calling thread: the x87 precision field.
#pragma once

namespace platform {

// Selects a 64-bit mantissa for the x87 unit of the calling thread, leaving
// the rounding mode and the exception masks as they are.
void set_extended_precision();

// The precision field of the x87 control word: 0 single, 2 double, 3 extended.
int x87_precision_field();

// Installs on_float_exception as the handler of the arithmetic-exception signal.
void install_float_exception_handler();

} // namespace platform
