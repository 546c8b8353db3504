// One line per request received, numbered and timed, to a file or standard error.
#pragma once

#include <cstdio>
#include <filesystem>
#include <mutex>
#include <string>
#include <string_view>

namespace brelmont::sim {

class RequestLog {
public:
    // An empty path logs to standard error.
    explicit RequestLog(const std::filesystem::path& path);
    ~RequestLog();
    RequestLog(const RequestLog&) = delete;
    RequestLog& operator=(const RequestLog&) = delete;

    bool ok() const { return m_file != nullptr; }
    // "#0007 12:03:44.512 c3 <what>"; connection 0 stands for the simulator itself.
    void write(int connection, std::string_view what);

private:
    std::mutex m_mutex;
    FILE* m_file = nullptr;
    bool m_own = false;
    unsigned m_sequence = 0;
};

} // namespace brelmont::sim
