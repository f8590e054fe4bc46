// The wave winding program: the platform runtime with the routine on its
// program thread.
#include "platform/window/runtime_main.h"
#include "winding/winding_program.h"

int main() { return platform::runtime_main(winding::program_thread_entry); }
