// Emboss pictures: the stamped drawing against one QPainter ellipse per dot.
//
// Every iteration draws the same page both ways, so both figures come from the same run under the
// same cache and clock conditions. The benchmark's own time is the stamped drawing (manual time);
// the counters give both times in milliseconds and their ratio.

#include "ReferenceRendering.h"
#include "job/PageData.h"
#include "viewer/rendering/PageRendering.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <random>

namespace {

using brelmont::job::PageData;
using brelmont::job::PagePtr;
using Clock = std::chrono::steady_clock;

// A page whose cells carry a dot with the given probability, levels 1 to 7 and 15 alike.
PagePtr randomPage(int64_t width, int64_t height, int64_t kind, int percent) {
    PagePtr page = PageData::create(width, height, kind);
    std::mt19937 rng(uint32_t(width * 7919 + height * 31 + kind));
    const uint8_t levels[] = {1, 2, 3, 4, 5, 6, 7, 15};
    for (int64_t y = 0; y < height; ++y)
        for (int64_t x = 0; x < width; ++x)
            if (int(rng() % 100) < percent) page->m_bytes[y * page->m_stride + x] = levels[rng() % 8];
    return page;
}

double secondsSince(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

void embossBoth(benchmark::State& state, int64_t kind, int64_t width, int64_t height, int percent) {
    const PagePtr page = randomPage(width, height, kind, percent);
    double stamped = 0, reference = 0;
    for (auto _ : state) {
        auto start = Clock::now();
        {
            const QImage image = brelmont::viewer::embossImage(*page);
            benchmark::DoNotOptimize(image.constBits());
        }
        const double fast = secondsSince(start);
        start = Clock::now();
        {
            const QImage image = brelmont::bench::embossImageReference(*page);
            benchmark::DoNotOptimize(image.constBits());
        }
        reference += secondsSince(start);
        stamped += fast;
        state.SetIterationTime(fast);
    }
    const double n = double(state.iterations());
    state.counters["stamped_ms"] = 1e3 * stamped / n;
    state.counters["reference_ms"] = 1e3 * reference / n;
    state.counters["ratio"] = reference / stamped;
}

} // namespace

// Letter at 100 dpi, a fifth of the cells dotted: about 187 000 overlapping dots.
BENCHMARK_CAPTURE(embossBoth, kind2_850x1100_20pct, 2, 850, 1100, 20)
    ->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(8);
// Letter at 20 cells per inch, 30 % of the cells dotted.
BENCHMARK_CAPTURE(embossBoth, kind1_170x220_30pct, 1, 170, 220, 30)
    ->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(60);

BENCHMARK_MAIN();
