#include "CupsServer.h"

#include "Background.h"

#include <arpa/inet.h>
#include <grp.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>
#include <thread>
#include <utility>

namespace brelmont::testing {

namespace fs = std::filesystem;
using printer::CommandRunner;
using printer::shellWord;
using Clock = std::chrono::steady_clock;

namespace {

// A loopback port nobody listens on right now (the kernel's pick for port 0).
int freeLoopbackPort() {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof addr;
    const bool bound = ::bind(fd, reinterpret_cast<sockaddr*>(&addr), len) == 0 &&
                       ::getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len) == 0;
    ::close(fd);
    return bound ? ntohs(addr.sin_port) : 0;
}

// The system's scheduler and its ServerBin: backends, filters and the scheduler's helper programs.
constexpr const char* Cupsd = "/usr/sbin/cupsd";
constexpr const char* SystemServerBin = "/usr/lib/cups";

// Where the folder goes: the temporary folder, unless the scheduler runs as root and some folder
// on that path is closed to others; backends then run as "lp" and could not open the spooled job
// ("Unable to open print file: Permission denied"), so /tmp is used instead.
fs::path baseFolder() {
    const fs::path base = fs::temp_directory_path();
    if (::geteuid() != 0) return base;
    for (fs::path p = base; p != p.root_path(); p = p.parent_path()) {
        struct stat st {};
        if (::stat(p.c_str(), &st) != 0 || !(st.st_mode & S_IXOTH)) return "/tmp";
    }
    return base;
}

// Width and height in points of the sizes the queues offer; anything else prints as Letter.
std::pair<double, double> paperPoints(const std::string& size) {
    static const std::map<std::string, std::pair<double, double>> sizes = {
        {"Letter", {612, 792}},    {"Legal", {612, 1008}}, {"A4", {595, 842}},
        {"A4Tractor", {595, 864}}, {"115X11", {828, 792}}, {"11X14", {792, 1008}},
    };
    auto it = sizes.find(size);
    return it == sizes.end() ? std::pair<double, double>{612, 792} : it->second;
}

// The queue's description; it takes only raw data ("*cupsFilter: application/vnd.cups-raw 0 -").
std::string testPpd(const QueueDefinition& queue) {
    driver::PpdDescription ppd;
    ppd.makeAndModel = queue.makeAndModel;
    ppd.manufacturer = queue.manufacturer;
    ppd.filters = {"application/vnd.cups-raw 0 -"};
    ppd.customPageSize = queue.customPageSize;
    PpdOption pageSize{"PageSize", "Media Size", "Letter", {"Letter/US Letter", "A4"}};
    for (const auto& option : queue.options)
        if (option.keyword == "PageSize") pageSize = option;
        else ppd.options.push_back(option);
    for (const std::string& choice : pageSize.choices) {
        const auto [width, height] = paperPoints(choice.substr(0, choice.find('/')));
        ppd.paperSizes.push_back({choice, width, height});
    }
    ppd.defaultPaperSize = pageSize.defaultChoice;
    return driver::makePpd(ppd);
}

} // namespace

bool CupsServer::available() { return ::access(Cupsd, X_OK) == 0; }

bool CupsServer::start(std::string* error) {
    std::string why = "cupsd is not installed";
    for (int attempt = 0; attempt < 3 && available() && m_pid < 0; ++attempt)
        if (const int port = freeLoopbackPort(); port > 0 && startOnce(port, &why)) return true;
    if (error && m_pid < 0) *error = why;
    return m_pid > 0;
}

bool CupsServer::startOnce(int port, std::string* error) {
    /*
     * root/ is the ServerRoot (configuration, the queues' PPDs), spool/ the jobs, home/ the
     * clients' HOME, ppd-src/ the descriptions handed to lpadmin, shared/ the driver's shared data
     * folder, bin/ the ServerBin when there is a filter of ours. The scheduler may run as root
     * and start backends as "lp", which must be able to walk in: 0755 rather than mkdtemp's 0700.
     */
    std::string pattern = (baseFolder() / "brelmont-cups-XXXXXX").string();
    if (!::mkdtemp(pattern.data())) return *error = "mkdtemp failed", false;
    m_folder = pattern;
    m_port = port;
    ::chmod(m_folder.c_str(), 0755);
    for (const char* dir : {"root", "spool/tmp", "log", "cache", "state", "home", "ppd-src", "shared/.lpoptions"})
        fs::create_directories(m_folder / dir);
    // Anyone's jobs write into the shared folder, as into the installed one.
    ::chmod(sharedFolder().c_str(), 01777);
    ::chmod((sharedFolder() / ".lpoptions").c_str(), 0777);
    if ((!m_filter.empty() && !makeServerBin(error)) || (!m_ppds.empty() && !makeDataDir(error))) {
        stop();
        return false;
    }
    const std::string f = m_folder.string();
    const group* g = ::getgrgid(::getgid());

    // Only the loopback port, no browsing, sharing or authentication; every operation allowed
    // from 127.0.0.1. A job whose device does not answer is dropped instead of stopping its queue.
    std::ofstream(m_folder / "root/cupsd.conf")
        << "LogLevel debug\nMaxLogSize 0\nListen 127.0.0.1:" << port
        << "\nBrowsing Off\nBrowseLocalProtocols none\nDefaultShared No\nWebInterface No\n"
           "DefaultAuthType None\nDefaultEncryption Never\nErrorPolicy abort-job\n"
           "<Location />\n  Order allow,deny\n  Allow 127.0.0.1\n</Location>\n<Policy default>\n"
           "  JobPrivateAccess all\n  JobPrivateValues none\n  SubscriptionPrivateAccess all\n"
           "  SubscriptionPrivateValues none\n  <Limit All>\n    Order allow,deny\n    Allow 127.0.0.1\n"
           "  </Limit>\n</Policy>\n";
    // Every path the scheduler writes lives in the folder, the printcap too. SetEnv belongs here
    // (in cupsd.conf the scheduler warns that it will not be taken in future).
    std::ofstream(m_folder / "root/cups-files.conf")
        << "ServerRoot " << f << "/root\nRequestRoot " << f << "/spool\nTempDir " << f << "/spool/tmp\nCacheDir " << f
        << "/cache\nStateDir " << f << "/state\nAccessLog " << f << "/log/access_log\nErrorLog " << f
        << "/log/error_log\nPageLog " << f << "/log/page_log\nPrintcap " << f
        << "/state/printcap\nLogFilePerm 0644\nFileDevice No\nSystemGroup "
        << (g ? std::string(g->gr_name) : std::to_string(::getgid())) << "\nSetEnv BRELMONT_SHARED_DIR " << f << "/shared\n"
        << (m_filter.empty() ? "" : "ServerBin " + f + "/bin\n") << (m_ppds.empty() ? "" : "DataDir " + f + "/data\n");

    // In the foreground, ending with this process should it die without stopping the scheduler.
    m_pid = launchLogged(std::string(Cupsd) + " -f -c " + shellWord(f + "/root/cupsd.conf") + " -s " +
                             shellWord(f + "/root/cups-files.conf"),
                         m_folder / "log/cupsd.out", error);
    if (m_pid < 0) return false;

    // "Listening to ADDRESS (IPv4)" is logged when the configuration is read, "Listening to
    // ADDRESS on fd N..." once the socket listens; when the port was taken meanwhile the log says
    // "Unable to open listen socket" and the scheduler runs on without one. Clients are let loose
    // only once a connection really goes through (before, lpadmin met "Bad file descriptor").
    const std::string listening = "Listening to 127.0.0.1:" + std::to_string(port) + " on fd";
    bool taken = false;
    for (const auto deadline = Clock::now() + std::chrono::seconds(10); Clock::now() < deadline && !taken;) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        const std::string log = errorLog();
        if (log.find(listening) != std::string::npos && run("lpstat -r", 5).out == "scheduler is running\n") return true;
        taken = log.find("Unable to open listen socket") != std::string::npos;
        if (::kill(m_pid, 0) != 0) break; // it ended
    }
    *error = taken ? "port " + std::to_string(port) + " was taken"
                   : "cupsd did not start: " + fileText(m_folder / "log/cupsd.out") + errorLog();
    stop();
    return false;
}

/*
 * bin/ is the ServerBin: links to the system's folders, but filter/ is a folder of links to each
 * system filter plus a copy of ours. The scheduler runs filters as "lp" when it runs as root and
 * then refuses one that is not root's or that others may change; the copy is the runner's, 0755.
 */
bool CupsServer::makeServerBin(std::string* error) {
    const fs::path system = SystemServerBin, bin = m_folder / "bin", filters = bin / "filter";
    if (!fs::is_directory(system / "filter")) return *error = "the system's ServerBin (/usr/lib/cups) holds no filters", false;
    std::error_code ec;
    fs::create_directories(filters, ec);
    for (const char* dir : {"backend", "daemon", "cgi-bin", "monitor", "notifier", "driver"})
        if (fs::exists(system / dir)) fs::create_directory_symlink(system / dir, bin / dir, ec);
    for (const auto& entry : fs::directory_iterator(system / "filter", ec))
        fs::create_symlink(entry.path(), filters / entry.path().filename(), ec);
    const fs::path copy = filters / m_filter.filename();
    fs::remove(copy, ec);
    if (!fs::copy_file(m_filter, copy, ec))
        return *error = "copying the filter " + m_filter.string() + ": " + ec.message(), false;
    for (const fs::path& path : {bin, filters, copy}) ::chmod(path.c_str(), 0755);
    return true;
}

// data/ links every entry of the system's data folder but model/, which is the PPD folder.
bool CupsServer::makeDataDir(std::string* error) {
    const fs::path system = "/usr/share/cups", data = m_folder / "data";
    std::error_code ec;
    fs::create_directories(data, ec);
    for (const auto& entry : fs::directory_iterator(system, ec))
        if (entry.path().filename() != "model") fs::create_symlink(entry.path(), data / entry.path().filename(), ec);
    fs::create_directory_symlink(fs::absolute(m_ppds), data / "model", ec);
    if (ec || !fs::is_directory(system)) return *error = "no data folder for the scheduler: " + ec.message(), false;
    return true;
}

std::string CupsServer::errorLog() const { return fileText(m_folder / "log/error_log"); }

void CupsServer::stop() {
    endProcess(std::exchange(m_pid, -1), std::chrono::seconds(5));
    m_environment.clear();
    std::error_code ignored;
    if (!m_folder.empty() && !std::getenv("BRELMONT_CUPS_KEEP")) fs::remove_all(m_folder, ignored);
    m_folder.clear();
}

/*
 * What the client tools read and write (found with strace on CUPS 2.4, as root and as a user):
 * CUPS_SERVER names the scheduler; lpoptions -o/-r writes $HOME/.cups/lpoptions, for root too, so
 * HOME points into the folder; CUPS_SERVERROOT keeps the machine's client.conf and system-wide
 * lpoptions out; PRINTER and LPDEST would name a default queue from outside.
 */
void CupsServer::applyEnvironment() {
    if (!m_environment.empty() || m_pid < 0) return;
    m_environment.emplace_back("CUPS_SERVER", "127.0.0.1:" + std::to_string(m_port));
    m_environment.emplace_back("CUPS_SERVERROOT", (m_folder / "root").string());
    m_environment.emplace_back("HOME", home().string());
    m_environment.emplace_back("PRINTER", std::nullopt);
    m_environment.emplace_back("LPDEST", std::nullopt);
}

ShellResult CupsServer::run(const std::string& command, int timeoutSeconds) const {
    const std::string environment = "export CUPS_SERVER=127.0.0.1:" + std::to_string(m_port) +
                                    " CUPS_SERVERROOT=" + shellWord((m_folder / "root").string()) +
                                    " HOME=" + shellWord(home().string()) + "; unset PRINTER LPDEST; ";
    const printer::RunResult r =
        CommandRunner::execute(environment + command, {.limit = std::chrono::seconds(timeoutSeconds), .captureErrors = true});
    if (r.status != printer::RunResult::Status::Ended) return {-1, r.out, r.errors + "\n(" + r.reason + ")"};
    return {r.exitCode, r.out, r.errors};
}

bool CupsServer::addQueue(const QueueDefinition& queue, std::string* error) {
    const fs::path ppd = m_folder / "ppd-src" / (queue.name + ".ppd");
    std::ofstream(ppd) << testPpd(queue);
    ::chmod(ppd.c_str(), 0644);
    return addQueueFromPpd(queue.name, ppd, queue.deviceUri, queue.info, error);
}

bool CupsServer::addQueueFromPpd(const std::string& name, const fs::path& ppd, const std::string& deviceUri,
                                 const std::string& info, std::string* error) {
    // -E after -p enables the queue and makes it accept jobs.
    const ShellResult r = run("lpadmin -p " + shellQuote(name) + " -E -v " + shellQuote(deviceUri) + " -D " + shellQuote(info) +
                              " -P " + shellQuote(ppd.string()));
    if (!r.ok() && error) *error = "adding queue " + name + ": lpadmin exit " + std::to_string(r.exitCode) + ": " + r.err;
    return r.ok();
}

bool CupsServer::removeQueue(const std::string& name) { return run("lpadmin -x " + shellQuote(name)).ok(); }

std::vector<QueueDefinition> standardQueues() {
    // Rows 3 and 23 of the model table ("Merriden Color Ink", "Pim Jr") sit beside the shorter
    // texts they begin with, so both are here.
    std::vector<QueueDefinition> queues;
    for (const char* model :
         {"Orvin 200", "Orvin Color Ink", "Talmore 100", "Merriden", "Merriden Color Ink", "Fenwa", "Valdo Sheet", "Valdo Trac",
          "Tessaline 30RT", "Quorrin", "Pim Jr", "Pim", "Kym", "Marisolvance", "Vesk Ink"}) {
        std::string name = model;
        std::replace(name.begin(), name.end(), ' ', '_');
        queues.push_back(
            {name, model, "socket://127.0.0.1:9", std::string("Brelmont ") + model, embosserOptions(), "Brelmont", true});
    }
    // A description that names an embosser must not make the queue one.
    queues.push_back({"Acme_LaserBlaster_9",
                      "Acme LaserBlaster 9",
                      "socket://127.0.0.1:9",
                      "Acme LaserBlaster 9 printer-make-and-model=Quorrin",
                      {{"Duplex", "Double-Sided", "None", {"None", "DuplexNoTumble", "DuplexTumble"}}},
                      "Acme"});
    return queues;
}

std::vector<PpdOption> embosserOptions() {
    return {
        {"PageSize", "Media Size", "Letter", {"Letter/US Letter", "Legal", "A4", "A4Tractor", "115X11", "11X14"}},
        {"MediaType", "Media Type", "Default", {"Default", "Plain", "Label", "CustomMedia"}},
        {"EmbossQuality", "Emboss Quality", "Normal", {"Draft", "Normal", "High"}},
        {"DotQuality", "Dot Quality", "Standard", {"Standard", "Fine"}},
        {"InkQuality", "Ink Quality", "Normal", {"Draft", "Normal", "Best"}},
        {"Brailleforce", "Dot Height", "Medium", {"Low", "Medium", "High"}},
        {"BrailleSpacing", "Braille Spacing", "Congress", {"Congress", "National", "Microbraille", "Korean", "Jumbo"}},
        {"Duplex", "Double-Sided", "None", {"None", "DuplexNoTumble"}},
        {"ColorModel", "Color Mode", "Gray", {"Gray", "Color"}},
        {"OutputFace", "Output Face", "Up", {"Up", "Down"}},
        {"PrintMode", "Print Mode", "1", {"0", "1", "2", "3"}},
        {"PageOrientation", "Rotate Landscape", "No", {"Yes", "No"}},
        {"StandardText", "Emboss Standard Texts", "True", {"True", "False"}},
        {"InkDithering", "Dithering", "Diffusion", {"Diffusion", "Ordered", "Threshold"}},
        {"ThinLineIntensity", "Thin Line Intensity", "3", {"3", "1", "2", "4", "5", "6"}},
    };
}

} // namespace brelmont::testing
