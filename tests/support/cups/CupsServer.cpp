#include "CupsServer.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <grp.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <set>
#include <sstream>
#include <thread>

extern char** environ;

namespace brelmont::testing {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

constexpr auto kStartTimeout = std::chrono::seconds(10);
constexpr auto kStopTimeout = std::chrono::seconds(5);
constexpr int kStartAttempts = 3;

std::string readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

bool writeFile(const fs::path& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
    return static_cast<bool>(out.flush());
}

// A loopback port nobody listens on right now (the kernel's pick for port 0).
int freeLoopbackPort() {
    int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return 0;
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    addr.sin_port = 0;
    socklen_t len = sizeof addr;
    int port = 0;
    if (::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0 &&
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len) == 0)
        port = ntohs(addr.sin_port);
    ::close(fd);
    return port;
}

bool canConnect(int port) {
    int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return false;
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    addr.sin_port = htons(static_cast<uint16_t>(port));
    bool ok = ::connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0;
    ::close(fd);
    return ok;
}

std::optional<fs::path> findExecutable(const std::string& name, std::vector<fs::path> extraDirs) {
    if (const char* path = std::getenv("PATH")) {
        std::stringstream dirs(path);
        std::string dir;
        while (std::getline(dirs, dir, ':'))
            if (!dir.empty())
                extraDirs.emplace_back(dir);
    }
    for (const auto& dir : extraDirs) {
        fs::path candidate = dir / name;
        if (::access(candidate.c_str(), X_OK) == 0)
            return candidate;
    }
    return std::nullopt;
}

// The environment of a child: ours, with the given variables replaced or (empty value) removed.
std::vector<std::string> childEnvironment(const std::vector<std::pair<std::string, std::string>>& overrides) {
    std::set<std::string> names;
    for (const auto& [name, value] : overrides)
        names.insert(name);
    std::vector<std::string> env;
    for (char** e = environ; e && *e; ++e) {
        std::string entry = *e;
        if (!names.count(entry.substr(0, entry.find('='))))
            env.push_back(entry);
    }
    for (const auto& [name, value] : overrides)
        if (!value.empty())
            env.push_back(name + "=" + value);
    return env;
}

std::vector<char*> pointers(std::vector<std::string>& strings) {
    std::vector<char*> result;
    for (auto& s : strings)
        result.push_back(s.data());
    result.push_back(nullptr);
    return result;
}

// Children start with default signal handling and no blocked signals, whatever the test set up.
void resetSignals(posix_spawnattr_t& attr) {
    sigset_t defaults, none;
    sigemptyset(&none);
    sigemptyset(&defaults);
    for (int sig : {SIGPIPE, SIGCHLD, SIGTERM, SIGINT, SIGHUP, SIGALRM, SIGUSR1, SIGUSR2})
        sigaddset(&defaults, sig);
    posix_spawnattr_setsigmask(&attr, &none);
    posix_spawnattr_setsigdefault(&attr, &defaults);
    posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
}

// Waits for a child until the deadline; true when it ended (and was reaped).
bool waitUntil(pid_t pid, Clock::time_point deadline, int* status = nullptr) {
    while (true) {
        int st = 0;
        pid_t r = ::waitpid(pid, &st, WNOHANG);
        if (r == pid || (r < 0 && errno == ECHILD)) {
            if (status)
                *status = r == pid ? st : -1;
            return true;
        }
        if (Clock::now() >= deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

// Ends a child: SIGTERM, a bounded wait, then SIGKILL.
void endChild(pid_t pid) {
    ::kill(pid, SIGTERM);
    if (!waitUntil(pid, Clock::now() + kStopTimeout)) {
        ::kill(pid, SIGKILL);
        ::waitpid(pid, nullptr, 0);
    }
}

std::string groupName(gid_t gid) {
    if (const group* g = ::getgrgid(gid))
        return g->gr_name;
    return std::to_string(gid);
}

// Where the folder goes: the temporary folder, unless the scheduler runs as root and some folder
// on that path is closed to others; backends then run as "lp" and could not open the spooled job
// ("Unable to open print file: Permission denied"), so /tmp is used instead.
fs::path baseFolder() {
    fs::path base = fs::temp_directory_path();
    if (::geteuid() != 0)
        return base;
    for (fs::path p = base; !p.empty(); p = p.parent_path()) {
        struct stat st {};
        if (::stat(p.c_str(), &st) != 0 || !(st.st_mode & S_IXOTH))
            return "/tmp";
        if (p == p.root_path())
            break;
    }
    return base;
}

} // namespace

std::string shellQuote(const std::string& value) {
    std::string quoted = "'";
    for (char c : value) {
        if (c == '\'')
            quoted += "'\\''";
        else
            quoted += c;
    }
    return quoted + "'";
}

CupsServer::CupsServer() = default;

CupsServer::~CupsServer() { stop(); }

std::optional<fs::path> CupsServer::cupsdPath() {
    return findExecutable("cupsd", {"/usr/sbin", "/sbin", "/usr/local/sbin"});
}

std::string CupsServer::address() const { return "127.0.0.1:" + std::to_string(m_port); }

std::string CupsServer::errorLog() const { return readFile(errorLogPath()); }

bool CupsServer::start(std::string* error) {
    if (running())
        return true;
    std::string why = "cupsd is not installed";
    if (!cupsdPath()) {
        if (error)
            *error = why;
        return false;
    }
    for (int attempt = 0; attempt < kStartAttempts; ++attempt) {
        int port = freeLoopbackPort();
        if (port == 0) {
            why = "no free loopback port";
            continue;
        }
        if (startOnce(port, &why))
            return true;
    }
    if (error)
        *error = why;
    return false;
}

bool CupsServer::startOnce(int port, std::string* error) {
    /*
     * A fresh folder: root/ is the ServerRoot (cupsd.conf, cups-files.conf, printers.conf, the
     * queues' PPDs), spool/ the jobs, log/ cache/ state/ the rest, home/ the clients' HOME and
     * ppd-src/ the descriptions handed to lpadmin. The scheduler runs as root here and starts
     * backends as the "lp" user, which must be able to walk in, hence 0755 rather than
     * mkdtemp's 0700.
     */
    std::string pattern = (baseFolder() / "brelmont-cups-XXXXXX").string();
    if (!::mkdtemp(pattern.data())) {
        *error = std::string("mkdtemp: ") + std::strerror(errno);
        return false;
    }
    m_folder = pattern;
    m_port = port;
    ::chmod(m_folder.c_str(), 0755);
    std::error_code ec;
    for (const char* dir : {"root", "spool", "spool/tmp", "log", "cache", "state", "home", "ppd-src"})
        fs::create_directories(m_folder / dir, ec);
    const std::string f = m_folder.string();

    /*
     * No browsing, sharing or web interface; only the loopback port; no authentication, and every
     * operation (adding queues included) allowed from 127.0.0.1, so root and ordinary users alike
     * can set up queues and print. A job whose device does not answer is dropped instead of
     * stopping its queue, so one test's dead address does not block the next job.
     */
    std::string cupsdConf =
        "LogLevel debug\n"
        "MaxLogSize 0\n"
        "Listen 127.0.0.1:" + std::to_string(port) + "\n"
        "Browsing Off\n"
        "BrowseLocalProtocols none\n"
        "DefaultShared No\n"
        "WebInterface No\n"
        "DefaultAuthType None\n"
        "DefaultEncryption Never\n"
        "ErrorPolicy abort-job\n"
        "<Location />\n  Order allow,deny\n  Allow 127.0.0.1\n</Location>\n"
        "<Policy default>\n"
        "  JobPrivateAccess all\n  JobPrivateValues none\n"
        "  SubscriptionPrivateAccess all\n  SubscriptionPrivateValues none\n"
        "  <Limit All>\n    Order allow,deny\n    Allow 127.0.0.1\n  </Limit>\n"
        "</Policy>\n";
    // Every path the scheduler writes lives in the folder; the printcap too, which would
    // otherwise go to /run/cups.
    std::string filesConf =
        "ServerRoot " + f + "/root\n"
        "RequestRoot " + f + "/spool\n"
        "TempDir " + f + "/spool/tmp\n"
        "CacheDir " + f + "/cache\n"
        "StateDir " + f + "/state\n"
        "AccessLog " + f + "/log/access_log\n"
        "ErrorLog " + f + "/log/error_log\n"
        "PageLog " + f + "/log/page_log\n"
        "Printcap " + f + "/state/printcap\n"
        "LogFilePerm 0644\n"
        "FileDevice No\n"
        "SystemGroup " + groupName(::getgid()) + "\n";
    fs::path conf = m_folder / "root" / "cupsd.conf";
    fs::path files = m_folder / "root" / "cups-files.conf";
    if (!writeFile(conf, cupsdConf) || !writeFile(files, filesConf)) {
        *error = "cannot write the configuration in " + f;
        fs::remove_all(m_folder, ec);
        return false;
    }

    /*
     * Start it in the foreground, output in log/cupsd.out. Through setpriv --pdeathsig the
     * scheduler gets SIGTERM should the test process die without stopping it (a crash, a
     * timeout kill), so no cupsd is left behind.
     */
    std::vector<std::string> args;
    if (auto setpriv = findExecutable("setpriv", {"/usr/bin", "/bin"}))
        args = {setpriv->string(), "--pdeathsig", "TERM", "--"};
    args.push_back(cupsdPath()->string());
    for (std::string a : {"-f", "-c"})
        args.push_back(a);
    args.push_back(conf.string());
    args.push_back("-s");
    args.push_back(files.string());

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    std::string out = f + "/log/cupsd.out";
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_adddup2(&actions, 1, 2);
    posix_spawnattr_t attr;
    posix_spawnattr_init(&attr);
    resetSignals(attr);
    auto argv = pointers(args);
    pid_t pid = -1;
    int rc = ::posix_spawn(&pid, argv[0], &actions, &attr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attr);
    if (rc != 0) {
        *error = std::string("cannot start cupsd: ") + std::strerror(rc);
        fs::remove_all(m_folder, ec);
        return false;
    }
    m_pid = pid;
    if (!waitUntilListening(error)) {
        stop();
        return false;
    }
    return true;
}

// The scheduler logs "Listening to 127.0.0.1:PORT" once its socket is bound; when the port was
// taken meanwhile it logs "Unable to open listen socket" and keeps running without one, so a
// bare connect could reach someone else's server. Hence the log first, then a connect.
bool CupsServer::waitUntilListening(std::string* error) {
    const std::string listening = "Listening to 127.0.0.1:" + std::to_string(m_port);
    auto deadline = Clock::now() + kStartTimeout;
    while (Clock::now() < deadline) {
        int status = 0;
        if (::waitpid(m_pid, &status, WNOHANG) == m_pid) {
            m_pid = -1;
            *error = "cupsd ended at start: " + readFile(m_folder / "log" / "cupsd.out") + errorLog();
            return false;
        }
        std::string log = errorLog();
        if (log.find("Unable to open listen socket") != std::string::npos) {
            *error = "port " + std::to_string(m_port) + " was taken";
            return false;
        }
        if (log.find(listening) != std::string::npos && canConnect(m_port))
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    *error = "cupsd did not listen on " + address() + " within " +
             std::to_string(std::chrono::duration_cast<std::chrono::seconds>(kStartTimeout).count()) + " s: " +
             errorLog();
    return false;
}

void CupsServer::stop() {
    if (m_pid > 0) {
        endChild(m_pid);
        m_pid = -1;
    }
    restoreEnvironment();
    if (!m_folder.empty()) {
        if (!std::getenv("BRELMONT_CUPS_KEEP")) {
            std::error_code ec;
            fs::remove_all(m_folder, ec);
        }
        m_folder.clear();
    }
    m_port = 0;
}

/*
 * What the client tools read and write, found with strace on this CUPS (2.4, run as root and as
 * an ordinary user):
 * - CUPS_SERVER=127.0.0.1:PORT: which scheduler lpstat, lpoptions, lpadmin and lpr talk to.
 * - HOME: lpoptions -o/-r writes $HOME/.cups/lpoptions, for root as for anyone else (it never
 *   wrote SERVERROOT/lpoptions, i.e. /etc/cups/lpoptions); without HOME it falls back to the
 *   passwd home (/root/.cups/lpoptions), so HOME must point into the folder. It also reads
 *   $HOME/.cups/client.conf.
 * - CUPS_SERVERROOT: the clients read SERVERROOT/client.conf and SERVERROOT/lpoptions (the
 *   system-wide option defaults, merged into "lpoptions -p" output); pointing it at the private
 *   ServerRoot keeps the machine's /etc/cups files out of the results.
 * - PRINTER and LPDEST removed: they name a default queue, which must not come from outside.
 */
std::vector<std::pair<std::string, std::string>> CupsServer::environment() const {
    return {
        {"CUPS_SERVER", address()},
        {"CUPS_SERVERROOT", serverRoot().string()},
        {"HOME", home().string()},
        {"PRINTER", ""},
        {"LPDEST", ""},
    };
}

void CupsServer::applyEnvironment() {
    if (m_environmentApplied || !running())
        return;
    for (const auto& [name, value] : environment()) {
        const char* old = std::getenv(name.c_str());
        m_savedEnvironment.emplace_back(name, old ? std::optional<std::string>(old) : std::nullopt);
        if (value.empty())
            ::unsetenv(name.c_str());
        else
            ::setenv(name.c_str(), value.c_str(), 1);
    }
    m_environmentApplied = true;
}

void CupsServer::restoreEnvironment() {
    if (!m_environmentApplied)
        return;
    for (const auto& [name, value] : m_savedEnvironment) {
        if (value)
            ::setenv(name.c_str(), value->c_str(), 1);
        else
            ::unsetenv(name.c_str());
    }
    m_savedEnvironment.clear();
    m_environmentApplied = false;
}

ShellResult CupsServer::run(const std::string& command, int timeoutSeconds) const {
    ShellResult result;
    int outPipe[2], errPipe[2];
    if (::pipe2(outPipe, O_CLOEXEC) != 0)
        return result;
    if (::pipe2(errPipe, O_CLOEXEC) != 0) {
        ::close(outPipe[0]);
        ::close(outPipe[1]);
        return result;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, outPipe[1], 1);
    posix_spawn_file_actions_adddup2(&actions, errPipe[1], 2);
    posix_spawnattr_t attr;
    posix_spawnattr_init(&attr);
    resetSignals(attr);
    std::vector<std::string> args = {"/bin/sh", "-c", command};
    auto argv = pointers(args);
    auto envStrings = childEnvironment(environment());
    auto envp = pointers(envStrings);
    pid_t pid = -1;
    int rc = ::posix_spawn(&pid, "/bin/sh", &actions, &attr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attr);
    ::close(outPipe[1]);
    ::close(errPipe[1]);
    if (rc != 0) {
        ::close(outPipe[0]);
        ::close(errPipe[0]);
        result.err = std::string("cannot start /bin/sh: ") + std::strerror(rc);
        return result;
    }

    // Both pipes are read together so a chatty stderr cannot block the command.
    auto deadline = Clock::now() + std::chrono::seconds(timeoutSeconds);
    pollfd fds[2] = {{outPipe[0], POLLIN, 0}, {errPipe[0], POLLIN, 0}};
    std::string* sinks[2] = {&result.out, &result.err};
    int open = 2;
    bool timedOut = false;
    while (open > 0) {
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
        if (left <= 0) {
            timedOut = true;
            break;
        }
        int n = ::poll(fds, 2, static_cast<int>(left));
        if (n < 0 && errno != EINTR)
            break;
        for (int i = 0; i < 2; ++i) {
            if (fds[i].fd < 0 || !(fds[i].revents & (POLLIN | POLLHUP | POLLERR)))
                continue;
            char buf[4096];
            ssize_t got = ::read(fds[i].fd, buf, sizeof buf);
            if (got > 0) {
                sinks[i]->append(buf, static_cast<size_t>(got));
            } else if (got == 0 || errno != EINTR) {
                ::close(fds[i].fd);
                fds[i].fd = -1;
                --open;
            }
        }
    }
    for (auto& p : fds)
        if (p.fd >= 0)
            ::close(p.fd);
    if (timedOut) {
        ::kill(pid, SIGKILL);
        ::waitpid(pid, nullptr, 0);
        result.err += "\n(killed after " + std::to_string(timeoutSeconds) + " s)";
        return result;
    }
    int status = -1;
    if (!waitUntil(pid, deadline, &status)) {
        ::kill(pid, SIGKILL);
        ::waitpid(pid, nullptr, 0);
        result.err += "\n(killed after " + std::to_string(timeoutSeconds) + " s)";
        return result;
    }
    if (status != -1 && WIFEXITED(status))
        result.exitCode = WEXITSTATUS(status);
    return result;
}

bool CupsServer::addQueue(const std::string& name, const std::string& makeAndModel, const std::string& deviceUri,
                          const std::string& info, const std::vector<PpdOption>& extraPpdOptions,
                          std::string* error) {
    QueueDefinition queue;
    queue.name = name;
    queue.makeAndModel = makeAndModel;
    queue.deviceUri = deviceUri;
    queue.info = info;
    queue.options = extraPpdOptions;
    return addQueue(queue, error);
}

bool CupsServer::addQueue(const QueueDefinition& queue, std::string* error) {
    auto fail = [&](const std::string& why) {
        if (error)
            *error = "adding queue " + queue.name + ": " + why;
        return false;
    };
    if (!running())
        return fail("the server is not running");
    TestPpdDescription description;
    description.makeAndModel = queue.makeAndModel;
    description.manufacturer = queue.manufacturer;
    description.options = queue.options;
    description.customPageSize = queue.customPageSize;
    description.customPageSizeFirst = queue.customPageSizeFirst;
    fs::path ppd = m_folder / "ppd-src" / (queue.name + ".ppd");
    if (!writeFile(ppd, makeTestPpd(description)))
        return fail("cannot write " + ppd.string());
    ::chmod(ppd.c_str(), 0644);
    // -E after -p enables the queue and makes it accept jobs.
    ShellResult r = run("lpadmin -p " + shellQuote(queue.name) + " -E -v " + shellQuote(queue.deviceUri) + " -D " +
                        shellQuote(queue.info) + " -P " + shellQuote(ppd.string()));
    if (!r.ok())
        return fail("lpadmin exit " + std::to_string(r.exitCode) + ": " + r.err);
    return true;
}

bool CupsServer::addQueues(const std::vector<QueueDefinition>& queues, std::string* error) {
    for (const auto& queue : queues)
        if (!addQueue(queue, error))
            return false;
    return true;
}

bool CupsServer::removeQueue(const std::string& name) { return run("lpadmin -x " + shellQuote(name)).ok(); }

std::vector<std::string> CupsServer::queueNames() const {
    std::vector<std::string> names;
    std::stringstream lines(run("lpstat -e").out);
    std::string line;
    while (std::getline(lines, line))
        if (!line.empty())
            names.push_back(line);
    return names;
}

std::vector<QueueDefinition> standardQueues(const std::function<std::string(const QueueDefinition&)>& deviceUriFor) {
    // Queue name, make-and-model; rows 3 and 23 of the model table ("Merriden Color Ink",
    // "Pim Jr") sit beside the shorter texts they begin with, so both are here.
    static const std::pair<const char*, const char*> makers[] = {
        {"Orvin_200", "Orvin 200"},
        {"Orvin_Color_Ink", "Orvin Color Ink"},
        {"Talmore_100", "Talmore 100"},
        {"Merriden", "Merriden"},
        {"Merriden_Color_Ink", "Merriden Color Ink"},
        {"Fenwa", "Fenwa"},
        {"Valdo_Sheet", "Valdo Sheet"},
        {"Valdo_Trac", "Valdo Trac"},
        {"Tessaline_30RT", "Tessaline 30RT"},
        {"Quorrin", "Quorrin"},
        {"Pim_Jr", "Pim Jr"},
        {"Pim", "Pim"},
        {"Kym", "Kym"},
        {"Marisolvance", "Marisolvance"},
        {"Vesk_Ink", "Vesk Ink"},
    };
    std::vector<QueueDefinition> queues;
    for (const auto& [name, model] : makers) {
        QueueDefinition queue;
        queue.name = name;
        queue.makeAndModel = model;
        queue.info = std::string("Brelmont ") + model;
        queue.options = embosserOptions();
        queue.customPageSize = true;
        queues.push_back(queue);
    }
    QueueDefinition other;
    other.name = "Acme_LaserBlaster_9";
    other.makeAndModel = "Acme LaserBlaster 9";
    // A description that names an embosser must not make the queue one.
    other.info = "Acme LaserBlaster 9 printer-make-and-model=Quorrin";
    other.manufacturer = "Acme";
    other.options = {{"Duplex", "Double-Sided", "None", {"None", "DuplexNoTumble", "DuplexTumble"}}};
    queues.push_back(other);

    for (auto& queue : queues) {
        if (deviceUriFor)
            queue.deviceUri = deviceUriFor(queue);
        if (queue.deviceUri.empty())
            queue.deviceUri = "socket://127.0.0.1:9";
    }
    return queues;
}

} // namespace brelmont::testing
