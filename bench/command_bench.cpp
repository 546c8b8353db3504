// The command runner against a bare posix_spawn of the same shell line with the same pipe.
#include "printer/CommandRunner.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <fcntl.h>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

using brelmont::printer::CommandRunner;

const std::string Command = "printf 'hello\\n'";

// The least a caller could do: spawn the shell, read the pipe to its end, reap the child.
std::string bareSpawn(const std::string& command) {
    int fds[2];
    pipe2(fds, O_CLOEXEC);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, fds[1], STDOUT_FILENO);
    const char* sh = CommandRunner::shell();
    char* const argv[] = {const_cast<char*>(sh), const_cast<char*>("-c"), const_cast<char*>(command.c_str()), nullptr};
    pid_t pid = -1;
    posix_spawn(&pid, sh, &actions, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    close(fds[1]);
    std::string out;
    char buffer[65536];
    for (ssize_t n; (n = read(fds[0], buffer, sizeof buffer)) > 0;) out.append(buffer, size_t(n));
    close(fds[0]);
    waitpid(pid, nullptr, 0);
    return out;
}

void BM_BareSpawn(benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(bareSpawn(Command));
}

void BM_CommandRunner(benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(CommandRunner::run(Command));
}

// Both in one benchmark, alternating, so the ratio comes from the same conditions.
void BM_RunnerOverBareSpawn(benchmark::State& state) {
    double runner = 0, bare = 0;
    for (auto _ : state) {
        auto t0 = std::chrono::steady_clock::now();
        benchmark::DoNotOptimize(CommandRunner::run(Command));
        auto t1 = std::chrono::steady_clock::now();
        benchmark::DoNotOptimize(bareSpawn(Command));
        auto t2 = std::chrono::steady_clock::now();
        runner += std::chrono::duration<double>(t1 - t0).count();
        bare += std::chrono::duration<double>(t2 - t1).count();
    }
    state.counters["runner_ms"] = 1e3 * runner / double(state.iterations());
    state.counters["bare_ms"] = 1e3 * bare / double(state.iterations());
    state.counters["ratio"] = runner / bare;
}

} // namespace

BENCHMARK(BM_BareSpawn)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CommandRunner)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RunnerOverBareSpawn)->Unit(benchmark::kMillisecond);
