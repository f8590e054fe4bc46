// Number text: the text by which the system shows a Single on the screen.
#pragma once

#include <string>

namespace platform {

// The Single rounded to 7 significant digits from its exact binary value,
// trailing zeros dropped, after a sign position (a blank unless the value is
// negative; both zeros give " 0"). Fixed notation when the rounded value has
// at most 7 digits before the point and its last digit at most 7 places
// after it (" 21", "-.5", " .0000001"), exponent notation otherwise
// (" 1E+07", " 1.234568E-02"). A value half-way between two 7-digit
// decimals goes to the even one. Infinities give " INF" and "-INF", every
// NaN " NAN". The text never depends on the process locale.
std::string single_to_string(float value);

} // namespace platform
