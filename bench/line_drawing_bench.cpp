// Benchmarks of line drawing and clearing: the 47,088 lines of the diagram
// for 2p = 2, z = 1000, m = 2 (two slot positions to a pixel column), and a
// clearing of the whole page.
#include <benchmark/benchmark.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "platform/screen/line_drawing.h"
#include "platform/screen/page.h"
#include "platform/runtime/flags.h"
#include "platform/screen/viewport.h"

namespace {

using line = std::array<float, 4>;
using extended = long double;

// A counted loop as the routine runs it: bounds and running value in double,
// the variable a single taking the running value before each test, and the
// next running value formed from the variable plus the step.
template <typename Body>
void counted_loop(float& variable, double start, double end, double step, Body body) {
    double running = start;
    for (;;) {
        variable = static_cast<float>(running);
        if (!(running <= end)) break;
        body();
        running = static_cast<double>(static_cast<extended>(variable) + step);
    }
}

// The lines of the diagram in drawing order, each coordinate evaluated in
// extended precision and rounded to a single once.
std::vector<line> diagram_lines() {
    const float origin_x = 86, origin_y = 70;
    const float pole_pairs = 1, slot_count = 1000, slot_spacing = 0.5f;
    const float winding_pitch = 1002, first_pitch = 500, second_pitch = 502;
    const extended ox = origin_x, oy = origin_y, p = pole_pairs, z = slot_count, ss = slot_spacing;
    const extended y1 = first_pitch, y2 = second_pitch;

    std::vector<line> lines;
    auto add = [&](extended a, extended b, extended c, extended d) {
        lines.push_back({static_cast<float>(a), static_cast<float>(b), static_cast<float>(c), static_cast<float>(d)});
    };

    float coil_index = 0;
    counted_loop(coil_index, -winding_pitch, slot_count, 1, [&] {
        const extended i = coil_index;
        add(ox + i * ss, oy + 200, ox + i * ss, oy + 100);
        add(ox + i * ss, oy + 100, ox + (i + y1 / 2) * ss, oy + 50);
        add(ox + (i + y1 + y2 / 2) * ss, oy + 250, ox + (i + y1 + y2) * ss, oy + 200);
        add(ox + (i + y1 - y2 / 2) * ss, oy + 250, ox + (i + y1 - y2 / 2) * ss, oy + 270);
        add(ox + 0, oy + 270, ox + 639, oy + 270);
        add(ox + 0, oy + 290, ox + 639, oy + 290);
        add(ox + (i + y1 - y2 / 2) * ss + ss / 2, oy + 270, ox + (i + y1 - y2 / 2) * ss + ss / 2, oy + 290);
    });

    const float dash_steps = 20;
    const extended steps = dash_steps;
    const extended back_dx = static_cast<float>(y1 * ss / 2 / (steps + 1));
    const extended back_dy = static_cast<float>(50 / (steps + 1));
    const extended front_dx = static_cast<float>(y2 * ss / 2 / (steps + 1));
    const extended front_dy = static_cast<float>(50 / (steps + 1));

    float dash_index = 0;
    counted_loop(dash_index, 0, dash_steps, 2, [&] {
        counted_loop(coil_index, -first_pitch, slot_count, 1, [&] {
            const extended i = coil_index, j = dash_index;
            add(ox + (i + y1 / 2) * ss + j * back_dx, oy + 50 + j * back_dy, ox + (i + y1 / 2) * ss + (j + 1) * back_dx,
                oy + 50 + (j + 1) * back_dy);
            add(ox + i * ss + j * front_dx, oy + 200 + j * front_dy, ox + i * ss + (j + 1) * front_dx,
                oy + 200 + (j + 1) * front_dy);
        });
    });

    counted_loop(coil_index, 0, static_cast<double>(p + p), 1, [&] {
        counted_loop(dash_index, 0, 14, 1, [&] {
            const extended i = coil_index, j = dash_index;
            const extended x = ox + i * ss * z / 2 / p;
            add(x, oy + 30 + j * 20, x, oy + 40 + j * 20);
        });
    });
    return lines;
}

const std::vector<line>& lines_of_diagram() {
    static const std::vector<line> lines = [] {
        std::vector<line> l = diagram_lines();
        if (l.size() != 47088) {
            std::fprintf(stderr, "diagram has %zu lines, expected 47088\n", l.size());
            std::abort();
        }
        return l;
    }();
    return lines;
}

void draw_diagram(benchmark::State& state) {
    platform::reset_flags();
    platform::drawing_page page;
    platform::init_mode12_page(page);
    const std::vector<line>& lines = lines_of_diagram();
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
