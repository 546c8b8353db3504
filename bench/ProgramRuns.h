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

} // namespace brelmont::bench
