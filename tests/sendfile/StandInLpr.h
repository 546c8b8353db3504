// A stand-in "lpr" first on PATH for one test: it records the arguments it was started with (each
// ended by a zero byte, written whole through a rename) and a copy of the file it was given, and
// ends with the status asked for (saying why on standard error when that is not 0).
// Also points TMPDIR at a scratch folder, where the send-job step writes its work file.
#pragma once

#include "FileText.h"
#include "ScopedEnv.h"

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace brelmont::testing {

class StandInLpr {
public:
    explicit StandInLpr(const std::filesystem::path& scratch, int status = 0)
        : m_log(scratch / "lpr-arguments"),
          m_tmp(scratch / "tmp"),
          m_path("PATH", (scratch / "bin").string() + ":" + std::getenv("PATH")),
          m_tmpdir("TMPDIR", m_tmp.string()),
          m_logEnv("BRELMONT_TEST_LOG", m_log.string()) {
        std::filesystem::create_directories(scratch / "bin");
        std::filesystem::create_directories(m_tmp);
        std::ofstream(scratch / "bin" / "lpr")
            << "#!/bin/sh\nfor a in \"$@\"; do printf '%s\\000' \"$a\"; last=$a; done > \"$BRELMONT_TEST_LOG.part\"\n"
               "cp \"$last\" \"$BRELMONT_TEST_LOG.file\" 2>/dev/null\nmv \"$BRELMONT_TEST_LOG.part\" \"$BRELMONT_TEST_LOG\"\n"
            << (status ? "echo 'lpr: Destination \"q\" is not accepting jobs.' >&2\n" : "") << "exit " << status << "\n";
        std::filesystem::permissions(scratch / "bin" / "lpr", std::filesystem::perms::owner_all);
    }

    const std::filesystem::path& tmp() const { return m_tmp; }
    bool ran() const { return std::filesystem::exists(m_log); }

    // The arguments of the last run; none when lpr has not run.
    std::optional<std::vector<std::string>> arguments() const {
        std::ifstream in(m_log, std::ios::binary);
        if (!in) return std::nullopt;
        std::vector<std::string> args;
        for (std::string arg; std::getline(in, arg, '\0');) args.push_back(arg);
        return args;
    }
    // For a detached lpr: waits (boundedly) until it has run.
    std::optional<std::vector<std::string>> waitForArguments(std::chrono::seconds limit = std::chrono::seconds(20)) const {
        const auto end = std::chrono::steady_clock::now() + limit;
        while (!ran() && std::chrono::steady_clock::now() < end) std::this_thread::sleep_for(std::chrono::milliseconds(10));
        return arguments();
    }
    // What the file given to the last run held when lpr read it.
    std::string sentFile() const { return fileText(m_log.string() + ".file"); }

    static std::vector<std::string> lprArguments(const std::string& queue, const std::string& path) {
        return {"-h", "-l", "-P", queue, path};
    }

private:
    std::filesystem::path m_log, m_tmp;
    ScopedEnv m_path, m_tmpdir, m_logEnv;
};

} // namespace brelmont::testing
