// Standard descriptors opened on /dev/null where they are closed.
#include "platform/runtime/standard_streams.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

namespace platform {

namespace {

bool is_closed(int descriptor) { return fcntl(descriptor, F_GETFD) == -1 && errno == EBADF; }

} // namespace

bool open_closed_standard_streams() {
    for (int descriptor = STDIN_FILENO; descriptor <= STDERR_FILENO; ++descriptor) {
        if (!is_closed(descriptor)) continue;
        // open() takes the lowest free descriptor, which is this one: the
        // lower ones are open by now.
        if (open("/dev/null", O_RDWR) != descriptor) return false;
    }
    return true;
}

} // namespace platform
