// Discovery in a room full of embossers: brelmont-cli against a private CUPS server with 1 queue,
// and with 50 queues of which 10 lead to addresses that refuse the connection or stay silent.
// The goals: "toolbox show --queue LIVE" takes at most 1.5 times as long with 50 queues as with 1
// ("show_ratio"); "printers" at most 4 times ("printers_ratio"); the listing's peak memory against
// a device that answers without end stays that of a quiet listing ("endless_growth_MB", at most 8).
#include "ProgramRuns.h"

#include "cups/CupsServer.h"
#include "sim/EmbosserSim.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

using brelmont::bench::Run;
using brelmont::bench::runProgram;
using brelmont::testing::CupsServer;
using brelmont::testing::EmbosserSim;

constexpr const char* Live = "LIVE";

// A scheduler with the live queue and `dead` queues at refused or silent addresses, then live
// others up to `total`.
struct Room {
    CupsServer cups;
    std::vector<std::unique_ptr<EmbosserSim>> sims;

    Room(int total, int dead) {
        std::string error;
        if (!cups.start(&error)) throw std::runtime_error(error);
        add(Live, live());
        for (int i = 1; i < total; ++i) {
            std::string uri;
            if (i > dead) uri = live();
            else if (i % 2) uri = "socket://127.0.0.1:" + std::to_string(9 + i); // nothing listens
            else uri = sim({"--delay", "600000"});                               // takes the connection, never answers
            add("Q" + std::to_string(i), uri);
        }
        cups.applyEnvironment();
    }
    std::string live() { return sim({}); }
    std::string sim(std::vector<std::string> options) {
        sims.push_back(std::make_unique<EmbosserSim>("orvin", std::move(options)));
        return sims.back()->uri();
    }
    void add(const std::string& name, const std::string& uri) {
        std::string error;
        if (!cups.addQueue({name, "Orvin 200", uri, name}, &error)) throw std::runtime_error(error);
    }
};

double secondsOf(std::vector<std::string> args) {
    args.insert(args.begin(), BRELMONT_CLI);
    const Run run = runProgram(args, "/dev/null", false);
    if (run.status != 0) throw std::runtime_error("brelmont-cli " + args[1] + " failed");
    return run.seconds;
}

// The mean time of each command in a room of `queues`.
std::pair<double, double> times(int queues, int dead) {
    const Room room(queues, dead);
    double show = 0, printers = 0;
    for (int i = 0; i < 3; ++i) {
        show += secondsOf({"toolbox", "show", "--queue", Live});
        printers += secondsOf({"printers"});
    }
    return {show / 3, printers / 3};
}

void BM_DiscoveryOneQueueBesideFifty(benchmark::State& state) {
    for (auto _ : state) {
        try {
            const auto [show1, printers1] = times(1, 0);
            const auto [show50, printers50] = times(50, 10);
            state.SetIterationTime(show50 + printers50);
            state.counters["show_1_s"] = show1;
            state.counters["show_50_s"] = show50;
            state.counters["show_ratio"] = show50 / show1;
            state.counters["printers_1_s"] = printers1;
            state.counters["printers_50_s"] = printers50;
            state.counters["printers_ratio"] = printers50 / printers1;
            state.counters["within"] = show50 / show1 <= 1.5 && printers50 / printers1 <= 4;
        } catch (const std::exception& e) { return state.SkipWithError(e.what()); }
    }
}

// The listing's peak memory asked for a device that answers without end, beside one that answers.
void BM_ListingPeakMemoryAgainstAnEndlessDevice(benchmark::State& state) {
    const EmbosserSim quiet("orvin"), endless("orvin", {"--endless", "1"});
    double quietPeak = 0, endlessPeak = 0;
    for (auto _ : state) {
        quietPeak = brelmont::bench::peakMB(PEAK_RSS, {PJLHELPER, "--probe", quiet.uri()}, "/dev/null");
        endlessPeak = brelmont::bench::peakMB(PEAK_RSS, {PJLHELPER, "--probe", endless.uri()}, "/dev/null");
        if (quietPeak < 0 || endlessPeak < 0) return state.SkipWithError("the listing failed");
        state.SetIterationTime(1);
    }
    state.counters["quiet_MB"] = quietPeak;
    state.counters["endless_MB"] = endlessPeak;
    state.counters["endless_growth_MB"] = endlessPeak - quietPeak;
    state.counters["within"] = endlessPeak - quietPeak <= 8;
}

} // namespace

BENCHMARK(BM_DiscoveryOneQueueBesideFifty)->UseManualTime()->Unit(benchmark::kSecond)->Iterations(1);
BENCHMARK(BM_ListingPeakMemoryAgainstAnEndlessDevice)->UseManualTime()->Unit(benchmark::kSecond)->Iterations(1);
