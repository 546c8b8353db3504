// Long jobs: opening one (the page index) against decoding it whole, and the peak memory of
// brelmont-cli info and dump and of the viewer, against the eager decoding that kept every page.
//
// The jobs: a book of braille text pages (rows and binary blocks), one-bit ink pages and 300 dpi
// colour pages, 1,000 pages and a tenth of that, so that the figures show what grows with the
// page count. The goals: opening takes at most 0.3 of the time of decoding the job whole; the
// peak memory of info, dump and the viewer stays under the job's size plus 4 decoded pages plus
// 64 MB ("budget_MB"); paging through the viewer decodes each page once ("decodes_per_page").
#include "job/Document.h"
#include "job/TclParser.h"

#include "BenchPages.h"
#include "SampleJob.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <optional>
#include <ostream>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

using namespace brelmont::bench;
namespace fs = std::filesystem;
using brelmont::job::Document;
using brelmont::job::TclParser;
using Clock = std::chrono::steady_clock;

// Three emboss pages in five (alternately in rows and in blocks), then ink: fifteen one-bit pages
// for each colour page.
struct LongJob {
    ByteVector bytes;
    fs::path file;
    int64_t largestPage = 0;
};

LongJob makeJob(int pages) {
    std::vector<ByteVector> emboss, ink;
    for (uint32_t i = 0; i < 8; ++i) emboss.push_back(embossCells(100 + i)), ink.push_back(inkCells(200 + i));
    const ByteVector colour = brelmont::testing::colourChartBlock(RgbW, RgbH);
    JobWriter job = jobStart();
    for (int p = 0; p < pages; ++p) {
        const ByteVector& cells = emboss[size_t(p) % 8];
        if (p % 5 < 3) {
            if (p % 2) job.unit(20).embossRaster(cells, EmbossW, EmbossH);
            else job.embossBlock(cells, EmbossW, EmbossH, brelmont::testing::HeaderCheck::Marked);
        } else if (p % 40 != 4) {
            job.inkBlock(ink[size_t(p) % 8], InkW, InkH, brelmont::testing::HeaderCheck::Sum4);
        } else {
            job.pcl3guiBlock(colour, {.flags = 4});
        }
    }
    LongJob made;
    made.bytes = jobEnd(job);
    made.file = fs::temp_directory_path() / ("brelmont-bench-" + std::to_string(getpid()) + "-" + std::to_string(pages) + ".kprn");
    std::ofstream(made.file, std::ios::binary).write(reinterpret_cast<const char*>(made.bytes.data()), std::streamsize(made.bytes.size()));
    made.largestPage = (3 * RgbW + 3) / 4 * 4 * RgbH; // a colour page: every job here has one
    return made;
}

const LongJob& jobOf(int pages) {
    static std::optional<LongJob> jobs[2];
    std::optional<LongJob>& job = jobs[pages == 1000 ? 1 : 0];
    if (!job) job = makeJob(pages);
    return *job;
}

double seconds(Clock::time_point a, Clock::time_point b) { return std::chrono::duration<double>(b - a).count(); }

std::ostream& nullStream() {
    static std::ostream out(nullptr);
    return out;
}

// Opening the job (the page index, no page made) beside decoding it whole, every page made and
// dropped as it is filed, in each iteration.
void BM_Open(benchmark::State& state) {
    const LongJob& job = jobOf(int(state.range(0)));
    double openTime = 0, wholeTime = 0;
    for (auto _ : state) {
        auto t0 = Clock::now();
        {
            Document doc;
            if (doc.readFromData(job.bytes, Document::TypeKprn, "bench.kprn", nullStream())) state.SkipWithError("job refused");
            benchmark::DoNotOptimize(doc.m_embPages.size());
        }
        auto t1 = Clock::now();
        {
            int64_t pages = 0;
            const TclParser whole(job.bytes, TclParser::Pixels::Make, [&](brelmont::job::FiledPage&& page) { pages += bool(page.pixels); });
            benchmark::DoNotOptimize(pages);
        }
        auto t2 = Clock::now();
        state.SetIterationTime(seconds(t0, t1));
        openTime += seconds(t0, t1);
        wholeTime += seconds(t1, t2);
    }
    const double n = double(state.iterations());
    state.counters["open_ms"] = 1e3 * openTime / n;
    state.counters["whole_ms"] = 1e3 * wholeTime / n;
    state.counters["ratio"] = openTime / wholeTime;
    state.counters["job_MB"] = double(job.bytes.size()) / 1e6;
}

// A program run to its end through peak_rss: its exit status, its standard output, its peak
// resident memory and its time.
struct Run {
    int status = -1;
    double peakMB = 0, seconds = 0;
    std::string out;
};

Run runMeasured(std::vector<std::string> args) {
    const fs::path outFile = fs::temp_directory_path() / ("brelmont-bench-out-" + std::to_string(getpid()));
    args.insert(args.begin(), PEAK_RSS);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, outFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    std::vector<char*> argv;
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    Run run;
    const auto start = Clock::now();
    pid_t pid = 0;
    int status = 0;
    if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ) == 0 && waitpid(pid, &status, 0) == pid)
        run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    run.seconds = seconds(start, Clock::now());
    posix_spawn_file_actions_destroy(&actions);
    std::ifstream in(outFile);
    run.out.assign(std::istreambuf_iterator<char>(in), {});
    fs::remove(outFile);
    // The last line is the peak in KiB.
    const size_t last = run.out.find_last_of('\n', run.out.size() >= 2 ? run.out.size() - 2 : 0);
    if (last != std::string::npos) {
        run.peakMB = std::atof(run.out.c_str() + last + 1) / 1024.0;
        run.out.resize(last);
    }
    return run;
}

enum class Holder { Info, Dump, Viewer, PageThrough, Eager };

void BM_PeakMemory(benchmark::State& state, Holder holder) {
    const LongJob& job = jobOf(int(state.range(0)));
    const fs::path out = fs::temp_directory_path() / ("brelmont-bench-dump-" + std::to_string(getpid()));
    std::vector<std::string> args;
    switch (holder) {
    case Holder::Info: args = {BRELMONT_CLI, "info", job.file}; break;
    case Holder::Dump: args = {BRELMONT_CLI, "dump", job.file, out}; break;
    case Holder::Viewer: args = {JOB_PROBE, "viewer", job.file}; break;
    case Holder::PageThrough: args = {JOB_PROBE, "page-through", job.file}; break;
    case Holder::Eager: args = {JOB_PROBE, "eager", job.file}; break;
    }
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    Run run;
    for (auto _ : state) {
        run = runMeasured(args);
        state.SetIterationTime(run.seconds);
        fs::remove_all(out);
        if (run.status != 0) state.SkipWithError("the program failed");
    }
    const double budget = double(job.bytes.size()) / (1 << 20) + 4.0 * double(job.largestPage) / (1 << 20) + 64;
    state.counters["peak_MB"] = run.peakMB;
    state.counters["budget_MB"] = budget;
    state.counters["within"] = run.peakMB <= budget;
    long long pages = 0, decodes = 0;
    if (holder == Holder::PageThrough && std::sscanf(run.out.c_str(), "%lld %lld", &pages, &decodes) == 2 && pages > 0)
        state.counters["decodes_per_page"] = double(decodes) / double(pages);
}

void registerAll() {
    for (const int pages : {100, 1000}) {
        benchmark::RegisterBenchmark("open/index_vs_whole", BM_Open)->Arg(pages)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);
        const std::pair<const char*, Holder> holders[] = {{"peak/info", Holder::Info},       {"peak/dump", Holder::Dump},
                                                          {"peak/viewer", Holder::Viewer},   {"peak/viewer_page_through", Holder::PageThrough},
                                                          {"peak/eager_all_pages", Holder::Eager}};
        for (const auto& [name, holder] : holders)
            benchmark::RegisterBenchmark(name, BM_PeakMemory, holder)->Arg(pages)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(1);
    }
}

const bool registered = (registerAll(), true);

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    for (const int pages : {100, 1000}) fs::remove(fs::temp_directory_path() / ("brelmont-bench-" + std::to_string(getpid()) + "-" + std::to_string(pages) + ".kprn"));
    return 0;
}
