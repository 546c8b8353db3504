// The driver's filter beside liblouis's own translator (lou_translate --forward) on the same text
// and table, and the filter's peak memory for a long text against a short one. Both programs read
// the text on standard input and write to /dev/null. The goals: the filter takes at most 1.5 times
// as long as lou_translate on 1 MB of text ("ratio"); its peak for 100 MB stays within 16 MB of its
// peak for 1 MB ("growth_MB").
#include "ProgramRuns.h"

#include <benchmark/benchmark.h>

#include <cctype>
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

const std::string Table = "en-ueb-g1.ctb";

// A Merriden queue's folder, and the texts in it.
struct Scratch {
    brelmont::bench::FilterQueue queue{"driver-bench", "Merriden", "text/plain"};
    const fs::path& dir = queue.dir;

    // Sentences of common words, capitals and numbers, lines of about 70 characters and a blank line
    // after every eighth: what a letter or a book chapter looks like.
    fs::path text(size_t megabytes) {
        const fs::path path = dir / (std::to_string(megabytes) + "MB.txt");
        if (fs::exists(path)) return path;
        static const char* words[] = {"the",     "lantern", "keeper", "climbed", "ninety",  "steps",  "every",
                                      "evening", "while",   "a",      "quick",   "brown",   "fox",    "jumped",
                                      "over",    "lazy",    "dog",    "and",     "in",      "1848",   "wizards",
                                      "counted", "27",      "boats",  "near",    "harbour", "lights", "quietly"};
        std::ofstream out(path, std::ios::binary);
        std::string line;
        uint32_t seed = 1;
        for (size_t written = 0, lines = 0; written < megabytes * 1'000'000; written += line.size(), ++lines) {
            line.clear();
            for (int w = 0; w < 12; ++w) {
                seed = seed * 1103515245 + 12345;
                line += words[(seed >> 16) % (sizeof words / sizeof *words)];
                line += w == 11 ? ".\n" : " ";
            }
            line[0] = char(std::toupper(line[0]));
            if (lines % 8 == 7) line += "\n";
            out << line;
        }
        return path;
    }
};

Scratch& scratch() {
    static Scratch folder;
    return folder;
}

std::vector<std::string> filterArgs() { return {BRELMONT_FILTER, "1", "bench", "bench", "1", ""}; }

// Both programs in each iteration, on the same 1 MB text.
void BM_FilterBesideLouTranslate(benchmark::State& state) {
    if (!fs::exists(LOU_TRANSLATE)) return state.SkipWithError("lou_translate is not installed (package liblouis-bin)");
    const fs::path text = scratch().text(1);
    double filter = 0, louis = 0;
    for (auto _ : state) {
        const Run ours = runProgram(filterArgs(), text, false);
        const Run theirs = runProgram({LOU_TRANSLATE, "--forward", Table}, text, false);
        if (ours.status != 0 || theirs.status != 0) return state.SkipWithError("a program failed");
        state.SetIterationTime(ours.seconds);
        filter += ours.seconds, louis += theirs.seconds;
    }
    const double n = double(state.iterations());
    state.counters["filter_s"] = filter / n;
    state.counters["lou_translate_s"] = louis / n;
    state.counters["ratio"] = filter / louis;
    state.counters["within"] = filter / louis <= 1.5;
}

double peakMB(const fs::path& text, benchmark::State& state) {
    const double peak = brelmont::bench::peakMB(PEAK_RSS, filterArgs(), text);
    if (peak < 0) state.SkipWithError("the filter failed");
    return peak;
}

void BM_FilterPeakMemory(benchmark::State& state) {
    const fs::path shortText = scratch().text(1), longText = scratch().text(100);
    double shortPeak = 0, longPeak = 0;
    for (auto _ : state) {
        const auto start = Clock::now();
        longPeak = peakMB(longText, state);
        state.SetIterationTime(std::chrono::duration<double>(Clock::now() - start).count());
        shortPeak = peakMB(shortText, state);
    }
    state.counters["peak_1MB_MB"] = shortPeak;
    state.counters["peak_100MB_MB"] = longPeak;
    state.counters["growth_MB"] = longPeak - shortPeak;
    state.counters["within"] = longPeak - shortPeak <= 16;
}

} // namespace

BENCHMARK(BM_FilterBesideLouTranslate)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_FilterPeakMemory)->UseManualTime()->Unit(benchmark::kSecond)->Iterations(1);
