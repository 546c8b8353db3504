// The driver's filter beside liblouis's own translator (lou_translate --forward) on the same text
// and table, and the filter's peak memory for a long text against a short one. Both programs read
// the text on standard input and write to /dev/null. The goals: the filter takes at most 1.5 times
// as long as lou_translate on 1 MB of text ("ratio"); its peak for 100 MB stays within 16 MB of its
// peak for 1 MB ("growth_MB").
#include "driver/ModelProfiles.h"
#include "driver/ppd/ModelPpd.h"

#include <benchmark/benchmark.h>

#include <cctype>
#include <chrono>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

const std::string Table = "en-ueb-g1.ctb";

// A folder with the queue's PPD, an empty shared folder and the texts, removed at the end.
struct Scratch {
    fs::path dir = fs::temp_directory_path() / ("brelmont-driver-bench-" + std::to_string(getpid()));
    Scratch() {
        fs::create_directories(dir / "shared");
        std::ofstream(dir / "merriden.ppd") << brelmont::driver::makePpd(
            brelmont::driver::modelPpd(*brelmont::driver::profileByMakeAndModel("Merriden"), {}));
        setenv("PPD", (dir / "merriden.ppd").c_str(), 1);
        setenv("PRINTER", "bench", 1);
        setenv("CONTENT_TYPE", "text/plain", 1);
        setenv("BRELMONT_SHARED_DIR", (dir / "shared").c_str(), 1);
    }
    ~Scratch() { fs::remove_all(dir); }

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

struct Run {
    int status = -1;
    double seconds = 0;
    std::string tail; // the last bytes of standard output, when it was kept
};

// The program with `input` on standard input and standard error dropped; standard output goes to
// /dev/null, or through a pipe of which only the last bytes are kept.
Run runProgram(const std::vector<std::string>& args, const fs::path& input, bool keepTail) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, input.c_str(), O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    int fds[2] = {-1, -1};
    if (keepTail && pipe(fds) == 0) {
        posix_spawn_file_actions_adddup2(&actions, fds[1], 1);
        posix_spawn_file_actions_addclose(&actions, fds[0]);
    } else {
        posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    }
    std::vector<char*> argv;
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    Run run;
    const auto start = Clock::now();
    pid_t pid = 0;
    const bool spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ) == 0;
    posix_spawn_file_actions_destroy(&actions);
    if (fds[1] >= 0) close(fds[1]);
    if (fds[0] >= 0) {
        char buffer[1 << 16];
        for (ssize_t n; (n = read(fds[0], buffer, sizeof buffer)) > 0;) {
            run.tail.append(buffer, size_t(n));
            if (run.tail.size() > 4096) run.tail.erase(0, run.tail.size() - 256);
        }
        close(fds[0]);
    }
    int status = 0;
    if (spawned && waitpid(pid, &status, 0) == pid) run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    run.seconds = std::chrono::duration<double>(Clock::now() - start).count();
    return run;
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

// The filter's peak resident memory in MB, through peak_rss (its last output line, in KiB).
double peakMB(const fs::path& text, benchmark::State& state) {
    std::vector<std::string> args = filterArgs();
    args.insert(args.begin(), PEAK_RSS);
    const Run run = runProgram(args, text, true);
    if (run.status != 0) state.SkipWithError("the filter failed");
    const size_t last = run.tail.find_last_of('\n', run.tail.size() >= 2 ? run.tail.size() - 2 : 0);
    return last == std::string::npos ? 0 : std::atof(run.tail.c_str() + last + 1) / 1024.0;
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
