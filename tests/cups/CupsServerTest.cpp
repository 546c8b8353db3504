// The private CUPS server: it starts and stops cleanly, and the command lines the program runs
// (lpstat -e, lpoptions -p/-l/-o, lpr -h -l -P) see its queues, and only its queues.
#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "CupsServer.h"

namespace fs = std::filesystem;
using namespace brelmont::testing;

namespace {

#define SKIP_WITHOUT_CUPSD()                                                   \
    do {                                                                       \
        if (!CupsServer::available())                                          \
            GTEST_SKIP() << "cupsd is not installed (scripts/setup.sh installs it)"; \
    } while (0)

// What a file looked like: absent, or its modification time and bytes.
struct FileState {
    bool exists = false;
    long long mtimeSeconds = 0;
    long long mtimeNanoseconds = 0;
    std::string content;

    static FileState of(const fs::path& path) {
        FileState s;
        struct stat st {};
        if (::stat(path.c_str(), &st) != 0)
            return s;
        s.exists = true;
        s.mtimeSeconds = st.st_mtim.tv_sec;
        s.mtimeNanoseconds = st.st_mtim.tv_nsec;
        std::ifstream in(path, std::ios::binary);
        std::ostringstream text;
        text << in.rdbuf();
        s.content = text.str();
        return s;
    }
    bool operator==(const FileState& o) const {
        return exists == o.exists && mtimeSeconds == o.mtimeSeconds && mtimeNanoseconds == o.mtimeNanoseconds &&
               content == o.content;
    }
};

// Whether any process runs with the text in its command line (cupsd is started with its folder's
// configuration paths in its arguments).
bool processMentions(const std::string& text) {
    for (const auto& entry : fs::directory_iterator("/proc")) {
        std::ifstream in(entry.path() / "cmdline", std::ios::binary);
        if (!in)
            continue;
        std::string cmdline((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        if (cmdline.find(text) != std::string::npos)
            return true;
    }
    return false;
}

// Standard output of a command run through this process's own environment, the way code under
// test runs it.
std::string popenOutput(const std::string& command) {
    std::string out;
    if (FILE* p = ::popen(command.c_str(), "r")) {
        char buf[4096];
        size_t n;
        while ((n = std::fread(buf, 1, sizeof buf, p)) > 0)
            out.append(buf, n);
        ::pclose(p);
    }
    return out;
}

// A one-connection TCP sink on 127.0.0.1 that plays the device behind a socket:// queue.
class TcpSink {
public:
    TcpSink() {
        m_fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in addr{};
        addr.sin_family = AF_INET;
        addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t len = sizeof addr;
        if (m_fd < 0 || ::bind(m_fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 || ::listen(m_fd, 4) != 0 ||
            ::getsockname(m_fd, reinterpret_cast<sockaddr*>(&addr), &len) != 0)
            return;
        m_port = ntohs(addr.sin_port);
    }
    ~TcpSink() {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    int port() const { return m_port; }

    // Accepts one connection and reads it to its end, within the time given; none on timeout.
    std::optional<std::string> receive(std::chrono::seconds timeout) {
        auto deadline = std::chrono::steady_clock::now() + timeout;
        auto msLeft = [&] {
            auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
            return static_cast<int>(std::max<long long>(0, ms.count()));
        };
        pollfd l{m_fd, POLLIN, 0};
        if (::poll(&l, 1, msLeft()) <= 0)
            return std::nullopt;
        int c = ::accept4(m_fd, nullptr, nullptr, SOCK_CLOEXEC);
        if (c < 0)
            return std::nullopt;
        std::string data;
        while (true) {
            pollfd p{c, POLLIN, 0};
            if (::poll(&p, 1, msLeft()) <= 0) {
                ::close(c);
                return std::nullopt;
            }
            char buf[4096];
            ssize_t n = ::read(c, buf, sizeof buf);
            if (n > 0)
                data.append(buf, static_cast<size_t>(n));
            else if (n == 0 || errno != EINTR)
                break;
        }
        ::close(c);
        return data;
    }

private:
    int m_fd = -1;
    int m_port = 0;
};

// The form "lpoptions -p" prints an assignment in: single quotes around values with blanks.
std::string assignment(const std::string& key, const std::string& value) {
    bool blank = value.find(' ') != std::string::npos;
    return key + "=" + (blank ? "'" + value + "'" : value);
}

} // namespace

TEST(CupsServerTest, StartsAndStopsLeavingNothingBehind) {
    SKIP_WITHOUT_CUPSD();
    CupsServer server;
    std::string error;
    auto t0 = std::chrono::steady_clock::now();
    ASSERT_TRUE(server.start(&error)) << error;
    auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - t0).count();
    std::cout << "cupsd answered on " << server.address() << " after " << ms << " ms\n";
    RecordProperty("start_ms", static_cast<int>(ms));

    pid_t pid = server.pid();
    fs::path folder = server.folder();
    EXPECT_GT(pid, 0);
    EXPECT_TRUE(fs::exists(folder / "root" / "cupsd.conf"));
    ShellResult r = server.run("lpstat -r");
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "scheduler is running\n");
    EXPECT_TRUE(processMentions(folder.string()));

    server.stop();
    EXPECT_FALSE(server.running());
    EXPECT_EQ(::kill(pid, 0), -1);
    EXPECT_EQ(errno, ESRCH);
    EXPECT_FALSE(fs::exists(folder));
    EXPECT_FALSE(processMentions(folder.string()));
}

TEST(CupsServerTest, DestructorEndsTheServer) {
    SKIP_WITHOUT_CUPSD();
    pid_t pid = -1;
    fs::path folder;
    {
        CupsServer server;
        std::string error;
        ASSERT_TRUE(server.start(&error)) << error;
        pid = server.pid();
        folder = server.folder();
    }
    EXPECT_EQ(::kill(pid, 0), -1);
    EXPECT_FALSE(fs::exists(folder));
}

TEST(CupsServerTest, TwoServersRunSideBySide) {
    SKIP_WITHOUT_CUPSD();
    CupsServer a, b;
    std::string error;
    ASSERT_TRUE(a.start(&error)) << error;
    ASSERT_TRUE(b.start(&error)) << error;
    EXPECT_NE(a.port(), b.port());
    ASSERT_TRUE(a.addQueue("OnlyInA", "Kym", "socket://127.0.0.1:9", "A", {}, &error)) << error;
    EXPECT_EQ(a.queueNames(), std::vector<std::string>{"OnlyInA"});
    EXPECT_TRUE(b.queueNames().empty());
}

TEST(CupsServerTest, PpdNickNameBecomesTheMakeAndModel) {
    std::string ppd = makeTestPpd({"Orvin 200", "Brelmont", {}, false});
    EXPECT_NE(ppd.find("*NickName: \"Orvin 200\"\n"), std::string::npos);
    EXPECT_NE(ppd.find("*ModelName: \"Orvin 200\"\n"), std::string::npos);
    EXPECT_NE(ppd.find("*cupsFilter: \"application/vnd.cups-raw 0 -\"\n"), std::string::npos);
    EXPECT_NE(ppd.find("*DefaultPageSize: Letter\n"), std::string::npos);
}

class CupsQueuesTest : public ::testing::Test {
protected:
    void SetUp() override {
        SKIP_WITHOUT_CUPSD();
        std::string error;
        ASSERT_TRUE(m_server.start(&error)) << error;
        m_queues = standardQueues([](const QueueDefinition& queue) {
            return queue.name == "Orvin_200" ? "socket://127.0.0.1:9100" : "";
        });
        auto t0 = std::chrono::steady_clock::now();
        ASSERT_TRUE(m_server.addQueues(m_queues, &error)) << error;
        auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - t0).count();
        RecordProperty("add_queues_ms", static_cast<int>(ms));
    }

    std::string lpoptions(const std::string& args) {
        ShellResult r = m_server.run("lpoptions " + args);
        EXPECT_EQ(r.exitCode, 0) << "lpoptions " << args << ": " << r.err;
        return r.out;
    }

    CupsServer m_server;
    std::vector<QueueDefinition> m_queues;
    std::string m_serverBefore;
};

TEST_F(CupsQueuesTest, LpstatListsExactlyTheQueuesAdded) {
    ShellResult r = m_server.run("lpstat -e");
    ASSERT_EQ(r.exitCode, 0) << r.err;
    std::vector<std::string> listed, added;
    std::stringstream lines(r.out);
    for (std::string line; std::getline(lines, line);)
        listed.push_back(line);
    for (const auto& queue : m_queues)
        added.push_back(queue.name);
    std::sort(listed.begin(), listed.end());
    std::sort(added.begin(), added.end());
    EXPECT_EQ(listed, added);
    EXPECT_GE(added.size(), 13u);
}

TEST_F(CupsQueuesTest, QueuesAreEnabledAndAccepting) {
    for (const auto& queue : m_queues) {
        ShellResult p = m_server.run("lpstat -p " + queue.name);
        EXPECT_NE(p.out.find("printer " + queue.name + " is idle.  enabled"), std::string::npos) << p.out << p.err;
        ShellResult a = m_server.run("lpstat -a " + queue.name);
        EXPECT_NE(a.out.find(queue.name + " accepting requests"), std::string::npos) << a.out << a.err;
    }
}

TEST_F(CupsQueuesTest, LpoptionsShowsInfoDeviceAndMakeAndModel) {
    for (const auto& queue : m_queues) {
        std::string out = lpoptions("-p " + queue.name);
        EXPECT_NE(out.find(assignment("printer-info", queue.info) + " "), std::string::npos) << out;
        EXPECT_NE(out.find("device-uri=" + queue.deviceUri + " "), std::string::npos) << out;
        EXPECT_NE(out.find(assignment("printer-make-and-model", queue.makeAndModel) + " "), std::string::npos) << out;
    }
    // The exact forms the discovery code parses: quoted when the value has blanks, bare otherwise.
    std::string orvin = lpoptions("-p Orvin_200");
    EXPECT_NE(orvin.find(" printer-info='Brelmont Orvin 200' "), std::string::npos) << orvin;
    EXPECT_NE(orvin.find(" printer-make-and-model='Orvin 200' "), std::string::npos) << orvin;
    EXPECT_NE(orvin.find("device-uri=socket://127.0.0.1:9100 "), std::string::npos) << orvin;
    std::string kym = lpoptions("-p Kym");
    EXPECT_NE(kym.find(" printer-make-and-model=Kym "), std::string::npos) << kym;
}

TEST_F(CupsQueuesTest, InfoWithoutBlanksIsShownBare) {
    std::string error;
    ASSERT_TRUE(m_server.addQueue("Bare", "Pim", "socket://127.0.0.1:9", "Embosser", {}, &error)) << error;
    std::string out = lpoptions("-p Bare");
    EXPECT_NE(out.find(" printer-info=Embosser "), std::string::npos) << out;
    EXPECT_NE(out.find(" printer-make-and-model=Pim "), std::string::npos) << out;
}

TEST_F(CupsQueuesTest, LpoptionsListsThePpdOptions) {
    std::string out = lpoptions("-p Orvin_200 -l");
    EXPECT_NE(out.find("Duplex/Double-Sided: *None DuplexNoTumble\n"), std::string::npos) << out;
    EXPECT_NE(out.find("PageSize/Media Size: *Letter Legal A4 A4Tractor 115X11 11X14 Custom.WIDTHxHEIGHT\n"),
              std::string::npos)
        << out;
    EXPECT_NE(out.find("BrailleSpacing/Braille Spacing: *Congress National Microbraille Korean Jumbo\n"),
              std::string::npos)
        << out;
    EXPECT_NE(out.find("PrintMode/Print Mode: 0 *1 2 3\n"), std::string::npos) << out;

    std::string acme = lpoptions("-p Acme_LaserBlaster_9 -l");
    EXPECT_NE(acme.find("Duplex/Double-Sided: *None DuplexNoTumble DuplexTumble\n"), std::string::npos) << acme;
    EXPECT_EQ(acme.find("Custom.WIDTHxHEIGHT"), std::string::npos) << acme;
}

// The scheduler takes the queue's make-and-model from *NickName, not from *ModelName.
TEST_F(CupsQueuesTest, MakeAndModelComesFromNickName) {
    std::string ppd = makeTestPpd({"Valdo Sheet", "Brelmont", {}, false});
    auto at = ppd.find("*ModelName: \"Valdo Sheet\"");
    ASSERT_NE(at, std::string::npos);
    ppd.replace(at, std::string("*ModelName: \"Valdo Sheet\"").size(), "*ModelName: \"Model Only\"");
    fs::path file = m_server.folder() / "ppd-src" / "nick.ppd";
    std::ofstream(file) << ppd;
    ::chmod(file.c_str(), 0644);
    ShellResult r = m_server.run("lpadmin -p Nick -E -v socket://127.0.0.1:9 -D Nick -P " + shellQuote(file.string()));
    ASSERT_EQ(r.exitCode, 0) << r.err;
    std::string out = lpoptions("-p Nick");
    EXPECT_NE(out.find(" printer-make-and-model='Valdo Sheet' "), std::string::npos) << out;
    EXPECT_EQ(out.find("Model Only"), std::string::npos) << out;
}

TEST_F(CupsQueuesTest, ExtraOptionsOfAddQueueAreListed) {
    std::string error;
    ASSERT_TRUE(m_server.addQueue("Extra", "Merriden", "socket://127.0.0.1:9", "Extra one",
                                  {{"InkQuality", "Ink Quality", "Best", {"Draft", "Normal", "Best"}}}, &error))
        << error;
    std::string out = lpoptions("-p Extra -l");
    EXPECT_NE(out.find("InkQuality/Ink Quality: Draft Normal *Best\n"), std::string::npos) << out;
    EXPECT_NE(out.find("PageSize/Media Size: *Letter A4\n"), std::string::npos) << out;
}

TEST_F(CupsQueuesTest, SetOptionsAreShownAndStayPrivate) {
    const char* realHome = std::getenv("HOME");
    fs::path realUserFile = fs::path(realHome ? realHome : "/root") / ".cups" / "lpoptions";
    FileState etcBefore = FileState::of("/etc/cups/lpoptions");
    FileState userBefore = FileState::of(realUserFile);

    lpoptions("-p Orvin_200 -o karro-contrast=7 -o Duplex=DuplexNoTumble");
    std::string out = lpoptions("-p Orvin_200");
    EXPECT_NE(out.find(" karro-contrast=7 "), std::string::npos) << out;
    EXPECT_NE(out.find("Duplex=DuplexNoTumble "), std::string::npos) << out;
    EXPECT_NE(lpoptions("-p Orvin_200 -l").find("Duplex/Double-Sided: None *DuplexNoTumble\n"), std::string::npos);

    // lpoptions splits an -o argument at blanks ("k=/tmp/a b" sets k=/tmp/a and b=true); a value
    // with blanks needs quotes inside the argument, and then comes back single-quoted.
    lpoptions("-p Orvin_200 -o \"karro-patternfile=/tmp/a b\"");
    out = lpoptions("-p Orvin_200");
    EXPECT_NE(out.find(" karro-patternfile=/tmp/a "), std::string::npos) << out;
    EXPECT_NE(out.find("b=true "), std::string::npos) << out;
    lpoptions("-p Orvin_200 -o \"karro-outputpath='/tmp/a b'\"");
    out = lpoptions("-p Orvin_200");
    EXPECT_NE(out.find(" karro-outputpath='/tmp/a b' "), std::string::npos) << out;
    lpoptions("-p Orvin_200 -r karro-contrast");
    EXPECT_EQ(lpoptions("-p Orvin_200").find("karro-contrast="), std::string::npos);

    // The assignments live in the private home and nowhere else.
    std::ifstream in(m_server.home() / ".cups" / "lpoptions");
    std::string privateFile((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_NE(privateFile.find("Dest Orvin_200 "), std::string::npos) << privateFile;
    EXPECT_NE(privateFile.find("Duplex=DuplexNoTumble"), std::string::npos) << privateFile;
    EXPECT_TRUE(FileState::of("/etc/cups/lpoptions") == etcBefore);
    EXPECT_TRUE(FileState::of(realUserFile) == userBefore);
    EXPECT_FALSE(fs::exists(m_server.serverRoot() / "lpoptions"));

    // Other queues keep their own assignments.
    EXPECT_EQ(lpoptions("-p Kym").find("Duplex=DuplexNoTumble"), std::string::npos);
}

TEST_F(CupsQueuesTest, ProcessEnvironmentReachesTheServer) {
    const char* before = std::getenv("CUPS_SERVER");
    m_serverBefore = before ? before : "";
    FileState etcBefore = FileState::of("/etc/cups/lpoptions");
    m_server.applyEnvironment();
    EXPECT_EQ(std::string(std::getenv("CUPS_SERVER")), m_server.address());
    EXPECT_EQ(std::string(std::getenv("HOME")), m_server.home().string());

    std::string listed = popenOutput("lpstat -e");
    EXPECT_NE(listed.find("Tessaline_30RT\n"), std::string::npos) << listed;
    popenOutput("lpoptions -p Tessaline_30RT -o karro-brightness=3");
    std::string out = popenOutput("lpoptions -p Tessaline_30RT");
    EXPECT_NE(out.find(" karro-brightness=3 "), std::string::npos) << out;
    EXPECT_NE(out.find(" printer-make-and-model='Tessaline 30RT' "), std::string::npos) << out;

    m_server.restoreEnvironment();
    const char* home = std::getenv("HOME");
    EXPECT_NE(home ? std::string(home) : std::string(), m_server.home().string());
    EXPECT_EQ(std::getenv("CUPS_SERVER") ? std::string(std::getenv("CUPS_SERVER")) : std::string(),
              m_serverBefore);
    EXPECT_TRUE(FileState::of("/etc/cups/lpoptions") == etcBefore);
}

TEST_F(CupsQueuesTest, RawPrintReachesTheDeviceUnchanged) {
    TcpSink device;
    ASSERT_GT(device.port(), 0);
    std::string error;
    ASSERT_TRUE(m_server.addQueue("RawSink", "Orvin 200", "socket://127.0.0.1:" + std::to_string(device.port()),
                                  "Raw sink", {}, &error))
        << error;

    // Every byte value, twice, and a second pass reversed; a path with a blank as the
    // send-file command line allows it.
    std::string data;
    for (int round = 0; round < 2; ++round)
        for (int b = 0; b < 256; ++b)
            data.push_back(static_cast<char>(b));
    for (int b = 255; b >= 0; --b)
        data.push_back(static_cast<char>(b));
    fs::path file = m_server.folder() / "job data.bin";
    {
        std::ofstream out(file, std::ios::binary);
        out.write(data.data(), static_cast<std::streamsize>(data.size()));
    }
    ::chmod(file.c_str(), 0644);

    ShellResult r = m_server.run("lpr -h -l -P RawSink \"" + file.string() + "\"");
    ASSERT_EQ(r.exitCode, 0) << r.err;
    auto received = device.receive(std::chrono::seconds(30));
    ASSERT_TRUE(received.has_value()) << "nothing reached the device; log:\n" << m_server.errorLog();
    EXPECT_EQ(received->size(), data.size());
    EXPECT_TRUE(*received == data);
}
