// The wave winding calculator: the system's one routine. It asks for the
// number of poles, the number of slots and the multiplicity, computes the
// pitches, rejects impossible data, draws the developed two-layer multiplex
// wave winding, prints the results and waits for the user to finish.
#pragma once

namespace winding {

// Runs the routine from the screen set-up to the closing prompt. It never
// returns: it ends in the closing prompt, which parks the thread.
[[noreturn]] void winding_program();

// The entry of the program thread: calls winding_program once.
void program_thread_entry();

} // namespace winding
