#include "HttpsServer.h"

#include "Background.h"

#include <cstdlib>
#include <fstream>
#include <stdexcept>

namespace fs = std::filesystem;

namespace brelmont::testing {

namespace {

// Serves the documents folder over TLS; threads, so a silent request never holds another one.
constexpr const char* ServerScript = R"(import functools, http.server, ssl, sys, time
class Handler(http.server.SimpleHTTPRequestHandler):
    def endless(self, declared, chunk, pause):
        self.send_response(200)
        self.send_header('Content-Length', declared)
        self.end_headers()
        try:
            while True:
                self.wfile.write(chunk)
                time.sleep(pause)
        except OSError: pass
    def do_GET(self):
        if self.path.startswith('/silent/'): time.sleep(3600)
        if self.path.startswith('/endless/'): return self.endless(self.path.split('/')[2], b'\0' * 65536, 0)
        if self.path.startswith('/drip/'): return self.endless('1048576', b'{', 0.2)
        return super().do_GET()
    def log_message(self, *args): pass
server = http.server.ThreadingHTTPServer(('127.0.0.1', 0), functools.partial(Handler, directory=sys.argv[1]))
context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
context.load_cert_chain(sys.argv[2], sys.argv[3])
server.socket = context.wrap_socket(server.socket, server_side=True)
print(server.server_address[1], flush=True)
server.serve_forever()
)";

void run(const std::string& command) {
    if (std::system((command + " >/dev/null 2>&1").c_str()) != 0) throw std::runtime_error("failed: " + command);
}

} // namespace

HttpsServer::HttpsServer() : m_documents(m_dir.path() / "documents") {
    const fs::path dir = m_dir.path(), log = dir / "server.log";
    fs::create_directories(m_documents);
    std::ofstream(dir / "ext.cnf") << "subjectAltName=IP:127.0.0.1,DNS:localhost\nbasicConstraints=CA:FALSE\n";
    const std::string d = "'" + dir.string() + "/";
    for (const std::string name : {"ca", "stranger"}) // two authorities: ours and one that signed nothing here
        run("openssl req -x509 -newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes -days 2 -subj '/CN=" + name +
            "' -keyout " + d + name + ".key' -out " + d + name + ".pem'");
    run("openssl req -newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes -subj '/CN=127.0.0.1' -keyout " + d +
        "server.key' -out " + d + "server.csr'");
    run("openssl x509 -req -days 2 -in " + d + "server.csr' -CA " + d + "ca.pem' -CAkey " + d + "ca.key' -CAcreateserial -out " +
        d + "server.pem' -extfile " + d + "ext.cnf'");

    using printer::shellWord;
    std::string error;
    m_pid = launchLogged("python3 -c " + shellWord(ServerScript) + " " + shellWord(m_documents.string()) + " " +
                             shellWord((dir / "server.pem").string()) + " " + shellWord((dir / "server.key").string()),
                         log, &error);
    if (m_pid > 0 && waitForLog(m_pid, log, "\n", std::chrono::seconds(10))) m_port = std::atoi(fileText(log).c_str());
    if (m_port <= 0) {
        endProcess(m_pid, std::chrono::seconds(1));
        throw std::runtime_error("the HTTPS server did not start: " + error + fileText(log));
    }
}

HttpsServer::~HttpsServer() { endProcess(m_pid, std::chrono::seconds(1)); }

void HttpsServer::serve(const std::string& path, const std::string& content) const {
    const fs::path file = m_documents / path;
    fs::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary) << content;
}

std::string HttpsServer::url(const std::string& path) const { return "https://127.0.0.1:" + std::to_string(m_port) + "/" + path; }

} // namespace brelmont::testing
