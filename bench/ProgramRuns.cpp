#include "ProgramRuns.h"

#include "driver/ModelProfiles.h"
#include "driver/ppd/ModelPpd.h"

#include <chrono>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace brelmont::bench {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

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

double peakMB(const std::string& peakRss, std::vector<std::string> args, const fs::path& input) {
    args.insert(args.begin(), peakRss);
    const Run run = runProgram(args, input, true);
    if (run.status != 0) return -1;
    const size_t last = run.tail.find_last_of('\n', run.tail.size() >= 2 ? run.tail.size() - 2 : 0);
    return last == std::string::npos ? 0 : std::atof(run.tail.c_str() + last + 1) / 1024.0;
}

FilterQueue::FilterQueue(const std::string& name, const std::string& makeAndModel, const std::string& contentType)
    : dir(fs::temp_directory_path() / ("brelmont-" + name + "-" + std::to_string(getpid()))) {
    fs::create_directories(dir / "shared");
    std::ofstream(dir / "queue.ppd") << driver::makePpd(driver::modelPpd(*driver::profileByMakeAndModel(makeAndModel), {}));
    setenv("PPD", (dir / "queue.ppd").c_str(), 1);
    setenv("PRINTER", "bench", 1);
    setenv("CONTENT_TYPE", contentType.c_str(), 1);
    setenv("BRELMONT_SHARED_DIR", (dir / "shared").c_str(), 1);
}

FilterQueue::~FilterQueue() { fs::remove_all(dir); }

} // namespace brelmont::bench
