// The pool from which the routine's variable cells are taken.
#pragma once

#include <cstddef>

namespace platform {

// Gives the next cell of `size` bytes. The pool starts as one block of 1 MiB;
// when it is full a new block of size plus twice the former block's size is
// obtained (cells given earlier keep their place). The cell is not cleared.
// Raises the critical error 504, which ends the process, when no memory can
// be had.
void* alloc_static_var(std::size_t size);

} // namespace platform
