#include "ProgramRun.h"

#include <array>
#include <cstdio>
#include <fstream>
#include <sys/wait.h>

namespace brelmont::testing {

ProgramRun runProgram(const std::string& program, const std::string& args, const std::filesystem::path& scratch) {
    const std::filesystem::path errFile = scratch / "stderr.txt";
    const std::string command = program + " " + args + " 2>'" + errFile.string() + "'";
    ProgramRun r;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return r;
    std::array<char, 4096> buffer;
    for (size_t n; (n = fread(buffer.data(), 1, buffer.size(), pipe)) > 0;) r.out.append(buffer.data(), n);
    const int status = pclose(pipe);
    r.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    std::ifstream err(errFile);
    r.err.assign(std::istreambuf_iterator<char>(err), {});
    return r;
}

} // namespace brelmont::testing
