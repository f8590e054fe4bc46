// The window probe: a probe routine (or the winding routine) in the real
// window. For the tests it also writes "paused 1" and "paused 0" to its
// standard output whenever the pause flag changes, so that a test can wait
// for the pause to be taken up without watching the (frozen) screen.
#include <chrono>
#include <cstdio>
#include <thread>

#include "platform/runtime/flags.h"
#include "platform/window/runtime_main.h"
#include "probe_routines.h"

namespace {

std::function<void()> chosen_routine;

void run_chosen_routine() { chosen_routine(); }

void report_pause_changes() {
    int last = 0;
    for (;;) {
        const int now = platform::flags().paused.load() & 1;
        if (now != last) {
            std::printf("paused %d\n", now);
            std::fflush(stdout);
            last = now;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}

} // namespace

int main(int argc, char** argv) {
    chosen_routine = argc == 2 ? probes::routine_named(argv[1]) : std::function<void()>{};
    if (!chosen_routine) {
        std::fprintf(stderr, "usage: window_probe winding|keys|error\n");
        return 2;
    }
    std::thread(report_pause_changes).detach();
    return platform::runtime_main(run_chosen_routine);
}
