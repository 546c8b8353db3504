// One client connection: reads its bytes, hands them to the parser, and writes each reply as
// soon as its query is complete. The connection ends when the client closes, when it has been
// quiet too long, when a fault cuts it, or when the simulator stops.
#pragma once

#include "Device.h"
#include "Faults.h"
#include "StreamParser.h"

#include <atomic>
#include <cstdio>
#include <filesystem>
#include <string>

namespace brelmont::sim {

struct ConnectionContext {
    Device& device;
    Faults& faults;
    RequestLog& log;
    const std::atomic<bool>& stopping;
    int idleMs;
};

class Connection : private StreamParser::Sink {
public:
    Connection(int fd, int id, ConnectionContext context);
    ~Connection() override;
    void run();

private:
    void pjlLine(std::string_view line) override;
    void printerCommand(std::string_view text) override;
    void binaryCommand(std::string_view bytes) override;
    void data(std::string_view bytes) override;
    void download(std::string_view name, std::string_view bytes, bool complete) override;

    // Keeps the connection's bytes for its job file: held until data begins (most connections
    // carry only queries), then written as they come.
    void record(std::string_view bytes);
    void send(std::string_view bytes);
    void pause(int ms);
    void close();

    int m_fd;
    int m_id;
    ConnectionContext m_ctx;
    bool m_ended = false; // nothing more is read or written
    FILE* m_data = nullptr;
    std::filesystem::path m_dataPath;
    size_t m_dataBytes = 0;
    FILE* m_job = nullptr;
    std::filesystem::path m_jobPath;
    std::string m_head; // the bytes before the data began
    bool m_recording = true;
};

} // namespace brelmont::sim
