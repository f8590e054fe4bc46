// The temporary texts of a statement: a mark taken before them, and the
// release back to that mark that frees them and keeps the texts made before.
#include <gtest/gtest.h>

#include <cstddef>
#include <string>
#include <string_view>

#include "platform/runtime/temp_strings.h"

using namespace platform;

TEST(TempStrings, ReleaseFreesTheTextsMadeSinceTheMark) {
    release_temp_strings(0);
    const std::string_view kept = make_temp_string("kept");
    const std::size_t mark = temp_string_mark();
    EXPECT_EQ(mark, 1u);
    for (int k = 0; k < 100; ++k) make_temp_string(std::string(k % 40, 'x'));
    const std::string_view long_text = make_temp_string(std::string(1000, 'y'));
    EXPECT_EQ(long_text.size(), 1000u);
    EXPECT_EQ(live_temp_strings(), mark + 101);
    release_temp_strings(mark);
    EXPECT_EQ(live_temp_strings(), mark);
    EXPECT_EQ(kept, "kept"); // made before the mark: still valid
    release_temp_strings(0);
    EXPECT_EQ(live_temp_strings(), 0u);
}
