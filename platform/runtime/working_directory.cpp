#include "platform/runtime/working_directory.h"

#include <filesystem>
#include <system_error>

namespace platform {

bool enter_executable_folder() {
    std::error_code error;
    const std::filesystem::path executable = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error) return false;
    std::filesystem::current_path(executable.parent_path(), error);
    return !error;
}

} // namespace platform
