// The whole routine, headless: from the first entry to the final key wait,
// for the data 2p = 2, m = 2 and a slot count of 21, 1000 or 100000.
#include <benchmark/benchmark.h>

#include <stdexcept>
#include <string>

#include "platform/headless/headless_runtime.h"
#include "winding/winding_program.h"

namespace {

void whole_routine(benchmark::State& state) {
    const std::string keys = "2\r" + std::to_string(state.range(0)) + "\r2\r";
    for (auto _ : state) {
        platform::run_options options;
        options.keys = platform::typed(keys);
        // z = 100000 draws 4,700,088 lines, near the headless runs' own bound.
        options.line_limit = 50'000'000;
        const platform::run_result r = platform::run_headless([] { winding::winding_program(); }, options);
        if (r.end != platform::run_end::key_waiting) throw std::runtime_error("the routine did not finish");
        benchmark::DoNotOptimize(r);
    }
}

} // namespace

BENCHMARK(whole_routine)->Arg(21)->Arg(1000)->Arg(100000)->Unit(benchmark::kMillisecond);
