// A stand-in "lpr" first on PATH for one test: it records the arguments it was started with (each
// ended by a zero byte, written whole through a rename) and a copy of the file it was given, and
// ends with the status asked for (saying why on standard error when that is not 0).
// Also points TMPDIR at a scratch folder, where the send-job step writes its work file.
#pragma once

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
        : m_bin(scratch / "bin"), m_log(scratch / "lpr-arguments"), m_tmp(scratch / "tmp") {
        std::filesystem::create_directories(m_bin);
        std::filesystem::create_directories(m_tmp);
        {
            std::ofstream script(m_bin / "lpr");
            script << "#!/bin/sh\n"
                      "for a in \"$@\"; do printf '%s\\000' \"$a\"; last=$a; done > \"$BRELMONT_TEST_LOG.part\"\n"
                      "cp \"$last\" \"$BRELMONT_TEST_LOG.file\" 2>/dev/null\n"
                      "mv \"$BRELMONT_TEST_LOG.part\" \"$BRELMONT_TEST_LOG\"\n";
            if (status != 0) script << "echo 'lpr: Destination \"q\" is not accepting jobs.' >&2\n";
            script << "exit " << status << "\n";
        }
        std::filesystem::permissions(m_bin / "lpr", std::filesystem::perms::owner_all);
        save("PATH");
        save("TMPDIR");
        save("BRELMONT_TEST_LOG");
        setenv("PATH", (m_bin.string() + ":" + m_saved[0].second.value_or("/usr/bin:/bin")).c_str(), 1);
        setenv("TMPDIR", m_tmp.c_str(), 1);
        setenv("BRELMONT_TEST_LOG", m_log.c_str(), 1);
    }
    ~StandInLpr() {
        for (const auto& [name, value] : m_saved) {
            if (value) setenv(name.c_str(), value->c_str(), 1);
            else unsetenv(name.c_str());
        }
    }
    StandInLpr(const StandInLpr&) = delete;
    StandInLpr& operator=(const StandInLpr&) = delete;

    const std::filesystem::path& bin() const { return m_bin; }
    const std::filesystem::path& tmp() const { return m_tmp; }
    bool ran() const { return std::filesystem::exists(m_log); }

    // The arguments of the last run; none when lpr has not run.
    std::optional<std::vector<std::string>> arguments() const {
        std::ifstream in(m_log, std::ios::binary);
        if (!in) return std::nullopt;
        std::vector<std::string> args;
        std::string arg;
        while (std::getline(in, arg, '\0')) args.push_back(arg);
        return args;
    }
    // For a detached lpr: waits (boundedly) until it has run.
    std::optional<std::vector<std::string>> waitForArguments(std::chrono::seconds limit = std::chrono::seconds(20)) const {
        const auto end = std::chrono::steady_clock::now() + limit;
        while (!ran() && std::chrono::steady_clock::now() < end) std::this_thread::sleep_for(std::chrono::milliseconds(10));
        return arguments();
    }
    void forget() const { std::filesystem::remove(m_log); }
    // What the file given to the last run held when lpr read it.
    std::string sentFile() const {
        std::ifstream in(m_log.string() + ".file", std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

    static std::vector<std::string> lprArguments(const std::string& queue, const std::string& path) {
        return {"-h", "-l", "-P", queue, path};
    }

private:
    void save(const char* name) {
        const char* value = std::getenv(name);
        m_saved.emplace_back(name, value ? std::optional<std::string>(value) : std::nullopt);
    }

    std::filesystem::path m_bin, m_log, m_tmp;
    std::vector<std::pair<std::string, std::optional<std::string>>> m_saved;
};

} // namespace brelmont::testing
