// The program runs in the folder of its executable, whatever folder it was
// started from.
#include <gtest/gtest.h>

#include <filesystem>

#include "platform/runtime/working_directory.h"

TEST(WorkingDirectory, IsTheFolderOfTheExecutable) {
    const std::filesystem::path started_in = std::filesystem::current_path();
    std::filesystem::current_path("/");
    ASSERT_TRUE(platform::enter_executable_folder());
    const std::filesystem::path folder = std::filesystem::read_symlink("/proc/self/exe").parent_path();
    EXPECT_EQ(std::filesystem::current_path(), folder);
    EXPECT_NE(folder, std::filesystem::path("/"));
    std::filesystem::current_path(started_in);
}
