// Benchmarks of line drawing and clearing: the 47,088 lines of the diagram
// for 2p = 2, z = 1000, m = 2 (two slot positions to a pixel column), taken
// once from the routine itself through the line observer and then drawn onto
// a fresh page, and a clearing of the whole page.
#include <benchmark/benchmark.h>

#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/headless/headless_runtime.h"
#include "platform/runtime/flags.h"
#include "platform/screen/line_drawing.h"
#include "platform/screen/page.h"
#include "platform/screen/viewport.h"
#include "winding/winding_program.h"

namespace {

using line = std::array<float, 4>;

constexpr std::size_t diagram_line_count = 47088;

// Runs the routine headlessly for 2p = 2, z = 1000, m = 2 and keeps the four
// arguments of every draw_line call in call order. The run ends at the final
// key wait, with the diagram finished; the runtime is then reset so that the
// routine's page and settings do not outlive the recording.
std::vector<line> record_diagram_lines() {
    std::vector<line> lines;
    platform::set_line_observer([&](float x1, float y1, float x2, float y2) { lines.push_back({x1, y1, x2, y2}); });
    platform::run_options options;
    options.keys = platform::typed("2\r1000\r2\r");
    const platform::run_result r = platform::run_headless([] { winding::winding_program(); }, std::move(options));
    platform::set_line_observer({});
    platform::reset_runtime();
    if (r.end != platform::run_end::key_waiting || lines.size() != diagram_line_count) {
        const std::string_view end = platform::to_string(r.end);
        std::fprintf(stderr,
                     "line_drawing_bench: the routine drew %zu lines, expected %zu, and stopped at %.*s "
                     "(expected key_waiting, the final key wait)\n",
                     lines.size(), diagram_line_count, static_cast<int>(end.size()), end.data());
        std::abort();
    }
    return lines;
}

const std::vector<line>& lines_of_diagram() {
    static const std::vector<line> lines = record_diagram_lines();
    return lines;
}

void draw_diagram(benchmark::State& state) {
    const std::vector<line>& lines = lines_of_diagram();
    platform::reset_flags();
    platform::drawing_page page;
    platform::init_mode12_page(page);
    for (auto _ : state) {
        for (const line& l : lines) platform::draw_line(page, l[0], l[1], l[2], l[3]);
        benchmark::DoNotOptimize(page.pixels.data());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(lines.size()));
    std::size_t lit = 0;
    for (std::uint8_t v : page.pixels) lit += v != 0;
    state.counters["lines"] = static_cast<double>(lines.size());
    state.counters["pixels_lit"] = static_cast<double>(lit);
}
BENCHMARK(draw_diagram)->Unit(benchmark::kMillisecond);

void clear_whole_page(benchmark::State& state) {
    platform::reset_flags();
    platform::drawing_page page;
    platform::init_mode12_page(page);
    for (auto _ : state) {
        platform::clear_screen(page);
        benchmark::DoNotOptimize(page.pixels.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(page.pixels.size()));
}
BENCHMARK(clear_whole_page)->Unit(benchmark::kMicrosecond);

} // namespace
