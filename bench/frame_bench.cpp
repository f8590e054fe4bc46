// One frame-building pass over the 640 x 480 page: with nothing changed (the
// page compared with the copy kept from the last frame) and with one pixel
// changed (the comparison, the copy and the conversion of every pixel).
#include <benchmark/benchmark.h>

#include "platform/screen/frame_builder.h"
#include "platform/screen/page.h"

namespace {

void building_pass_unchanged(benchmark::State& state) {
    platform::drawing_page page;
    platform::init_mode12_page(page);
    platform::frame_builder builder;
    builder.build_frame(page, 1);
    for (auto _ : state) benchmark::DoNotOptimize(builder.build_frame(page, 1));
}

void building_pass_changed(benchmark::State& state) {
    platform::drawing_page page;
    platform::init_mode12_page(page);
    platform::frame_builder builder;
    builder.build_frame(page, 1);
    std::uint8_t colour = 0;
    for (auto _ : state) {
        page.at(639, 479) = colour = static_cast<std::uint8_t>(colour ^ 15);
        benchmark::DoNotOptimize(builder.build_frame(page, 1));
    }
}

} // namespace

BENCHMARK(building_pass_unchanged)->Unit(benchmark::kMicrosecond);
BENCHMARK(building_pass_changed)->Unit(benchmark::kMicrosecond);
