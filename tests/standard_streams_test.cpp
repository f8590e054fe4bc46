// Standard descriptors that the program was started without are opened on
// /dev/null before anything else can take their numbers.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <initializer_list>
#include <string>

#include "platform/runtime/standard_streams.h"

using namespace platform;

namespace {

bool on_dev_null(int descriptor) {
    char target[64] = {};
    const std::string link = "/proc/self/fd/" + std::to_string(descriptor);
    const ssize_t length = readlink(link.c_str(), target, sizeof target - 1);
    return length > 0 && std::string(target, static_cast<std::size_t>(length)) == "/dev/null";
}

// In the death test's own process: closes the descriptors, opens what is
// closed and exits with 0 when each closed one is on /dev/null and the
// others are untouched.
[[noreturn]] void close_then_open(std::initializer_list<int> closed) {
    const ino_t kept_before = [] {
        struct stat status {};
        return fstat(STDOUT_FILENO, &status) == 0 ? status.st_ino : 0;
    }();
    for (int descriptor : closed) close(descriptor);
    const bool opened = open_closed_standard_streams();
    bool right = opened;
    for (int descriptor = 0; descriptor <= 2; ++descriptor) {
        const bool was_closed = std::find(closed.begin(), closed.end(), descriptor) != closed.end();
        if (was_closed) right = right && on_dev_null(descriptor);
    }
    if (std::find(closed.begin(), closed.end(), STDOUT_FILENO) == closed.end()) {
        struct stat status {};
        right = right && fstat(STDOUT_FILENO, &status) == 0 && status.st_ino == kept_before;
    }
    std::_Exit(right ? 0 : 1);
}

} // namespace

TEST(StandardStreams, ClosedOnesAreOpenedOnDevNull) {
    EXPECT_EXIT(close_then_open({STDERR_FILENO}), testing::ExitedWithCode(0), "");
    EXPECT_EXIT(close_then_open({STDIN_FILENO, STDERR_FILENO}), testing::ExitedWithCode(0), "");
    EXPECT_EXIT(close_then_open({STDIN_FILENO, STDOUT_FILENO, STDERR_FILENO}), testing::ExitedWithCode(0), "");
    // With all three open, nothing is touched.
    EXPECT_EXIT(close_then_open({}), testing::ExitedWithCode(0), "");
}
