// Exhaustive check of the number text: runs single_to_string over every bit
// pattern of a Single (or the range given) on 8 threads and compares each
// text with the reference formatter.
//
//   number_text_sweep [first last]   (inclusive, decimal or 0x... hex)
#include <algorithm>
#include <atomic>
#include <bit>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "number_text_reference.h"
#include "platform/text/number_text.h"

namespace {

constexpr int thread_count = 8;
constexpr std::uint64_t block_size = 1 << 16;
constexpr int differences_shown = 20;

struct sweep_state {
    std::uint64_t first;
    std::uint64_t end; // one past the last pattern
    std::atomic<std::uint64_t> next_block{0};
    std::atomic<std::uint64_t> checked{0};
    std::atomic<std::uint64_t> differences{0};
    std::mutex report_lock;
};

void report_difference(sweep_state& state, std::uint32_t bits, const std::string& got, const std::string& expected) {
    const std::uint64_t number = state.differences.fetch_add(1) + 1;
    if (number <= differences_shown) {
        std::lock_guard lock(state.report_lock);
        std::printf("DIFFERENCE 0x%08X (%.9g): got \"%s\", expected \"%s\"\n", bits,
                    static_cast<double>(std::bit_cast<float>(bits)), got.c_str(), expected.c_str());
    }
}

void sweep_blocks(sweep_state& state) {
    std::uint64_t checked = 0;
    for (;;) {
        const std::uint64_t start = state.first + state.next_block.fetch_add(1) * block_size;
        if (start >= state.end) {
            break;
        }
        const std::uint64_t stop = std::min(start + block_size, state.end);
        for (std::uint64_t pattern = start; pattern < stop; ++pattern) {
            const auto bits = static_cast<std::uint32_t>(pattern);
            const float value = std::bit_cast<float>(bits);
            const std::string got = platform::single_to_string(value);
            const std::string expected = testing_support::reference_number_text(value);
            if (got != expected) {
                report_difference(state, bits, got, expected);
            }
        }
        checked += stop - start;
    }
    state.checked += checked;
}

bool parse_pattern(const char* text, std::uint64_t& pattern) {
    char* end = nullptr;
    pattern = std::strtoull(text, &end, 0);
    return end != text && *end == '\0' && pattern <= 0xFFFFFFFFull;
}

} // namespace

int main(int argc, char** argv) {
    std::uint64_t first = 0;
    std::uint64_t last = 0xFFFFFFFFull;
    if (argc == 3) {
        if (!parse_pattern(argv[1], first) || !parse_pattern(argv[2], last) || last < first) {
            std::fprintf(stderr, "usage: %s [first last]  (bit patterns, inclusive, first <= last)\n", argv[0]);
            return 2;
        }
    } else if (argc != 1) {
        std::fprintf(stderr, "usage: %s [first last]  (bit patterns, inclusive)\n", argv[0]);
        return 2;
    }

    sweep_state state;
    state.first = first;
    state.end = last + 1;

    const auto started = std::chrono::steady_clock::now();
    std::vector<std::thread> threads;
    for (int i = 0; i < thread_count; ++i) {
        threads.emplace_back(sweep_blocks, std::ref(state));
    }
    for (auto& thread : threads) {
        thread.join();
    }
    const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - started;

    std::printf("patterns 0x%08llX..0x%08llX: %llu checked, %llu differences, %.1f s on %d threads\n",
                static_cast<unsigned long long>(first), static_cast<unsigned long long>(last),
                static_cast<unsigned long long>(state.checked.load()),
                static_cast<unsigned long long>(state.differences.load()), elapsed.count(), thread_count);
    return state.differences.load() == 0 ? 0 : 1;
}
