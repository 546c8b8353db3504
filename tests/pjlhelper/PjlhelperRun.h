// Runs the real pjlhelper binary as the application does, through the product's command runner,
// with variables set (NAME=VALUE) or removed (-u NAME) by env.
#pragma once

#include "printer/ShellQuote.h"

#include "EmbosserSim.h"
#include "ProgramRun.h"

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

namespace brelmont::testing {

inline ProgramRun runPjlhelper(const std::vector<std::string>& arguments, const std::string& env = "") {
    std::string quoted;
    for (const std::string& a : arguments) quoted += " " + printer::shellWord(a);
    return runProgram("env " + env + " " PJLHELPER_PATH, quoted);
}

// The print data the simulator stored, once `size` bytes are there (at most 10 s).
inline std::string storedData(const EmbosserSim& sim, size_t size) {
    std::string data;
    for (int i = 0; i < 100 && data.size() < size; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        data.clear();
        std::error_code ec;
        for (const auto& entry : std::filesystem::directory_iterator(sim.storePath(), ec)) {
            std::ifstream in(entry.path(), std::ios::binary);
            data.append(std::istreambuf_iterator<char>(in), {});
        }
    }
    return data;
}

} // namespace brelmont::testing
