// The driver's filter on PDF beside poppler's own pdftoppm rendering the same pages at the same
// resolution (300 dpi, RGB), and its peak memory for a 200-page document against a 2-page one.
// The goals: the whole filter, text translated, graphics turned into dots and the job written,
// takes at most 2 times as long as pdftoppm ("ratio"); its peak for 200 pages stays within 32 MB
// of its peak for 2 ("growth_MB").
#include "ProgramRuns.h"
#include "pdf/TestPdf.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;
using brelmont::bench::Run;
using brelmont::bench::runProgram;

// An Orvin 200 queue's folder, and the documents in it.
struct Scratch {
    brelmont::bench::FilterQueue queue{"pdf-bench", "Orvin 200", "application/pdf"};
    const fs::path& dir = queue.dir;

    // Worksheet pages: a heading, forty lines of text and a figure of a circle, boxes and lines.
    fs::path document(int pages) {
        const fs::path path = dir / (std::to_string(pages) + "-pages.pdf");
        if (fs::exists(path)) return path;
        brelmont::testing::TestPdf pdf;
        for (int p = 0; p < pages; ++p) {
            pdf.page().text(72, 72, 18, "Worksheet " + std::to_string(p + 1));
            for (int line = 0; line < 40; ++line)
                pdf.text(72, 100 + 11 * line, 9,
                         "Line " + std::to_string(line) + " of the lantern keeper, who climbed ninety steps.");
            pdf.fillCircle(180, 620, 60, {0.2, 0.4, 0.8})
                .fillRect(300, 570, 120, 80, {0.9, 0.6, 0.1})
                .line(72, 720, 540, 720, 0.3);
        }
        pdf.save(path);
        return path;
    }
};

Scratch& scratch() {
    static Scratch folder;
    return folder;
}

std::vector<std::string> filterArgs() { return {BRELMONT_FILTER, "1", "bench", "bench", "1", ""}; }

void BM_PdfFilterBesidePdftoppm(benchmark::State& state) {
    const fs::path pdf = scratch().document(10);
    double filter = 0, poppler = 0;
    for (auto _ : state) {
        const Run ours = runProgram(filterArgs(), pdf, false);
        const Run theirs = runProgram({PDFTOPPM, "-r", "300"}, pdf, false);
        if (ours.status != 0 || theirs.status != 0) return state.SkipWithError("a program failed");
        state.SetIterationTime(ours.seconds);
        filter += ours.seconds, poppler += theirs.seconds;
    }
    const double n = double(state.iterations());
    state.counters["filter_s"] = filter / n;
    state.counters["pdftoppm_s"] = poppler / n;
    state.counters["ratio"] = filter / poppler;
    state.counters["within"] = filter / poppler <= 2;
}

void BM_PdfFilterPeakMemory(benchmark::State& state) {
    const fs::path shortDocument = scratch().document(2), longDocument = scratch().document(200);
    double shortPeak = 0, longPeak = 0;
    for (auto _ : state) {
        const auto start = Clock::now();
        longPeak = brelmont::bench::peakMB(PEAK_RSS, filterArgs(), longDocument);
        state.SetIterationTime(std::chrono::duration<double>(Clock::now() - start).count());
        shortPeak = brelmont::bench::peakMB(PEAK_RSS, filterArgs(), shortDocument);
        if (longPeak < 0 || shortPeak < 0) return state.SkipWithError("the filter failed");
    }
    state.counters["peak_2_pages_MB"] = shortPeak;
    state.counters["peak_200_pages_MB"] = longPeak;
    state.counters["growth_MB"] = longPeak - shortPeak;
    state.counters["within"] = longPeak - shortPeak <= 32;
}

} // namespace

BENCHMARK(BM_PdfFilterBesidePdftoppm)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_PdfFilterPeakMemory)->UseManualTime()->Unit(benchmark::kSecond)->Iterations(1);
