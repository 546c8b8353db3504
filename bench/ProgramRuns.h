// Runs a program for the benchmarks that time whole programs: its time, exit status and the end of
// its output, and its peak memory through peak_rss.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace brelmont::bench {

struct Run {
    int status = -1;
    double seconds = 0;
    std::string tail; // the last bytes of standard output, when it was kept
};

// The program with `input` on standard input and standard error dropped; standard output goes to
// /dev/null, or through a pipe of which only the last bytes are kept.
Run runProgram(const std::vector<std::string>& args, const std::filesystem::path& input, bool keepTail);

// The peak resident memory of the program in MB, measured by `peakRss` (the peak_rss tool, whose
// last output line is the peak in KiB); negative when the program failed.
double peakMB(const std::string& peakRss, std::vector<std::string> args, const std::filesystem::path& input);

// A folder for the driver's filter as a queue runs it: the model's PPD and an empty shared folder,
// named in the environment the filter reads (PPD, PRINTER, CONTENT_TYPE, BRELMONT_SHARED_DIR);
// removed with everything in it at the end.
struct FilterQueue {
    FilterQueue(const std::string& name, const std::string& makeAndModel, const std::string& contentType);
    ~FilterQueue();
    FilterQueue(const FilterQueue&) = delete;
    FilterQueue& operator=(const FilterQueue&) = delete;

    std::filesystem::path dir;
};

} // namespace brelmont::bench
