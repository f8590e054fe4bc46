// The pool of the routine's variable cells: distinct cells that keep their
// place as the pool grows, and a size that cannot be had.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <limits>
#include <string>
#include <utility>
#include <vector>

#include "platform/headless/headless_runtime.h"
#include "platform/runtime/errors.h"
#include "platform/runtime/static_pool.h"

using namespace platform;

namespace {

struct cell {
    unsigned char* bytes;
    std::size_t size;
};

cell take_cell(std::size_t size) { return {static_cast<unsigned char*>(alloc_static_var(size)), size}; }

unsigned char pattern_byte(std::size_t cell_index, std::size_t k) {
    return static_cast<unsigned char>(cell_index * 31 + k * 7 + 1);
}

// Fills every cell with its own pattern, then checks them all: cells that
// overlapped would have overwritten each other.
void expect_cells_distinct(const std::vector<cell>& cells) {
    for (std::size_t i = 0; i < cells.size(); ++i)
        for (std::size_t k = 0; k < cells[i].size; ++k) cells[i].bytes[k] = pattern_byte(i, k);
    for (std::size_t i = 0; i < cells.size(); ++i)
        for (std::size_t k = 0; k < cells[i].size; ++k)
            ASSERT_EQ(cells[i].bytes[k], pattern_byte(i, k)) << "cell " << i << " byte " << k;

    std::vector<std::pair<std::uintptr_t, std::uintptr_t>> spans;
    for (const cell& c : cells) {
        const auto start = reinterpret_cast<std::uintptr_t>(c.bytes);
        spans.push_back({start, start + c.size});
    }
    std::sort(spans.begin(), spans.end());
    for (std::size_t i = 1; i < spans.size(); ++i) ASSERT_LE(spans[i - 1].second, spans[i].first);
}

} // namespace

TEST(StaticPool, GivesDistinctCellsThatKeepTheirPlaceWhenThePoolGrows) {
    std::vector<cell> cells;
    for (int k = 0; k < 20; ++k) cells.push_back(take_cell(4)); // the routine's 20 variables
    for (int k = 0; k < 5; ++k) cells.push_back(take_cell(24));
    expect_cells_distinct(cells);

    // Past the first block of 1 MiB, twice over, and one cell larger than a block.
    for (int k = 0; k < 40; ++k) cells.push_back(take_cell(64 * 1024));
    cells.push_back(take_cell(6 * 1024 * 1024));
    for (int k = 0; k < 3; ++k) cells.push_back(take_cell(4));
    expect_cells_distinct(cells);
}

TEST(StaticPool, ASizeThatCannotBeHadIsACriticalErrorNotACell) {
    const std::size_t sizes[] = {std::numeric_limits<std::size_t>::max(), std::numeric_limits<std::size_t>::max() - 64};
    for (std::size_t size : sizes) {
        SCOPED_TRACE(size);
        void* given = nullptr;
        const run_result r = run_headless([&] { given = alloc_static_var(size); }, {});
        EXPECT_EQ(given, nullptr);
        EXPECT_EQ(r.end, run_end::process_ended);
        EXPECT_EQ(r.exit_code, critical_exit_code);
        ASSERT_EQ(r.boxes.size(), 1u);
        EXPECT_EQ(r.boxes[0].caption, "Critical Error #4");
        EXPECT_EQ(r.boxes[0].text, "Out of memory");
    }
    // The pool still serves after the refusal.
    expect_cells_distinct({take_cell(4), take_cell(4)});
}
