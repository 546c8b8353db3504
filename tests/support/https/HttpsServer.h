// A local HTTPS server for tests: a certificate authority of its own, made at test time, a
// server certificate for 127.0.0.1 signed by it, and files served from a folder. Any path under
// "/silent/" takes the connection and never answers; "/endless/SIZE/..." declares SIZE bytes and
// sends zeros without end; "/drip/..." declares 1 MiB and sends a byte every 0.2 s without end.
#pragma once

#include "ScratchDir.h"

#include <filesystem>
#include <string>
#include <sys/types.h>

namespace brelmont::testing {

class HttpsServer {
public:
    // Throws std::runtime_error when the certificates cannot be made or the server does not start.
    HttpsServer();
    ~HttpsServer();
    HttpsServer(const HttpsServer&) = delete;
    HttpsServer& operator=(const HttpsServer&) = delete;

    // The folder served as "/".
    const std::filesystem::path& documents() const { return m_documents; }
    // Writes a file to serve at `path` ("autoupdate/AI/firmware.json").
    void serve(const std::string& path, const std::string& content) const;
    // "https://127.0.0.1:PORT/" + path.
    std::string url(const std::string& path = {}) const;
    // The certificate authority that signed the server's certificate (PEM).
    std::filesystem::path caFile() const { return m_dir.path() / "ca.pem"; }
    // Another authority's certificate, which signed nothing of this server's.
    std::filesystem::path strangerCaFile() const { return m_dir.path() / "stranger.pem"; }

private:
    ScratchDir m_dir{"https"};
    std::filesystem::path m_documents;
    pid_t m_pid = -1;
    int m_port = 0;
};

} // namespace brelmont::testing
