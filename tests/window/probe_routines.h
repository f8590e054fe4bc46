// Small routines for the real-window tests, built from the same platform code
// as the program: one that prints every key it reads, one that passes an
// out-of-range row to locate_cursor. The window probe runs them in the real
// window, page_dump headlessly, so the two pictures can be compared.
#pragma once

#include <functional>
#include <string_view>

namespace probes {

// Prints "KEYS READ:" on row 1, then the bytes of each key read, in hex.
[[noreturn]] void key_probe();

// Prints "BEFORE", places the cursor on row 31 (an illegal function call),
// prints "AFTER", waits for a key and ends through the closing prompt.
[[noreturn]] void error_probe();

// The routine of that name: "winding", "keys" or "error"; empty when unknown.
std::function<void()> routine_named(std::string_view name);

} // namespace probes
