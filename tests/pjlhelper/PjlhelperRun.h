// Runs the real pjlhelper binary as the application does, through the product's command runner,
// with variables set (NAME=VALUE) or removed (-u NAME) by env.
#pragma once

#include "printer/ShellQuote.h"

#include "EmbosserSim.h"
#include "ProgramRun.h"

#include <string>
#include <vector>

namespace brelmont::testing {

inline ProgramRun runPjlhelper(const std::vector<std::string>& arguments, const std::string& env = "") {
    std::string quoted;
    for (const std::string& a : arguments) quoted += " " + printer::shellWord(a);
    return runProgram("env " + env + " " PJLHELPER_PATH, quoted);
}

} // namespace brelmont::testing
