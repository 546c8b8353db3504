#include "RequestLog.h"

#include <chrono>
#include <ctime>

namespace brelmont::sim {

RequestLog::RequestLog(const std::filesystem::path& path) {
    if (path.empty()) {
        m_file = stderr;
    } else {
        m_file = std::fopen(path.c_str(), "a");
        m_own = true;
    }
}

RequestLog::~RequestLog() {
    if (m_own && m_file) std::fclose(m_file);
}

void RequestLog::write(int connection, std::string_view what) {
    using namespace std::chrono;
    const auto now = system_clock::now();
    const std::time_t secs = system_clock::to_time_t(now);
    const auto ms = duration_cast<milliseconds>(now.time_since_epoch()).count() % 1000;
    std::tm tm{};
    localtime_r(&secs, &tm);
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "%H:%M:%S", &tm);

    std::lock_guard lock(m_mutex);
    if (!m_file) return;
    std::fprintf(m_file, "#%04u %s.%03d c%d %.*s\n", ++m_sequence, stamp, static_cast<int>(ms), connection,
                 static_cast<int>(what.size()), what.data());
    std::fflush(m_file);
}

} // namespace brelmont::sim
