// The device listing of the real pjlhelper against our own TCP embossers on 127.0.0.1.
#include "PjlhelperProcess.h"
#include "TcpResponder.h"

#include "ScratchDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <unistd.h>

namespace fs = std::filesystem;
using namespace brelmont::testing;
using namespace std::chrono_literals;

namespace {

constexpr std::string_view InfoIdRequest = "\x1b%-12345X@PJL INFO ID\r\n";

// An embosser that answers "@PJL INFO ID" with the given text on the line after the echo.
TcpResponder::Script answersInfoId(std::string answer) {
    return [answer](Peer& peer) {
        if (!peer.readUntil("@PJL INFO ID\r\n")) return;
        peer.write("@PJL INFO ID\r\n" + answer + "\r\n\f");
        peer.waitForClose(5000ms);
    };
}

TcpResponder::Script neverAnswers() {
    return [](Peer& peer) { peer.waitForClose(); };
}

std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

std::vector<std::string> networkLines(const std::string& text) {
    std::vector<std::string> lines;
    for (const std::string& line : linesOf(text))
        if (line.find("socket://") != std::string::npos) lines.push_back(line);
    return lines;
}

std::string networkLine(const std::string& uri, const std::string& makeModel, const std::string& deviceId) {
    return "direct " + uri + " \"" + makeModel + "\" \"" + makeModel + " network\" \"" + deviceId + "\" \"\"";
}

class PjlhelperListing : public ::testing::Test {
protected:

    // No devices file unless a test writes one.
    EnvironmentChanges withDevices(const std::string& devices) const {
        return {{"BRELMONT_DEVICES", devices}, {"XDG_CONFIG_HOME", dir.string()}};
    }

    void writeDevicesFile(const std::string& content) const {
        fs::create_directories(dir / "brelmont");
        std::ofstream(dir / "brelmont" / "devices") << content;
    }

    brelmont::testing::ScratchDir scratch{"pjlhelper-listing"};
    const fs::path& dir = scratch.path();
};

} // namespace

TEST_F(PjlhelperListing, WithNoDevicesAttachedListsNothing) {
    // No USB printer in the test machine and no network device named: no line at all.
    const ProcessResult r = runPjlhelper({}, withDevices(""));
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "");
}

TEST_F(PjlhelperListing, DevicesNamedInTheEnvironment) {
    TcpResponder orvin(answersInfoId("\"Orvin 200\""));
    TcpResponder tessaline(answersInfoId("\"MFG:Brelmont;MDL:Tessaline 30RT;CMD:PJL;S:0402;\""));

    const ProcessResult r = runPjlhelper({}, withDevices(orvin.uri() + " " + tessaline.uri()));
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(networkLines(r.out),
              (std::vector<std::string>{
                  networkLine(orvin.uri(), "Brelmont Orvin 200", "MFG:Brelmont;MDL:Orvin 200;"),
                  networkLine(tessaline.uri(), "Brelmont Tessaline 30RT", "MFG:Brelmont;MDL:Tessaline 30RT;CMD:PJL;S:0402;"),
              }));

    orvin.stop();
    EXPECT_EQ(orvin.received(), InfoIdRequest);
}

TEST_F(PjlhelperListing, DevicesNamedInTheDevicesFile) {
    TcpResponder valdo(answersInfoId("Valdo Trac"));
    TcpResponder merriden(answersInfoId("\"MFG:Brelmont;MDL:Merriden;\""));
    // Written with a trailing "/" as a queue may hold it: the line carries it unchanged.
    const std::string merridenUri = merriden.uri() + "/";
    writeDevicesFile("# our embossers\n\n" + valdo.uri() + "\n   # " + valdo.uri() + "\n" + merridenUri + "\n");

    const ProcessResult r = runPjlhelper({}, {{"BRELMONT_DEVICES", std::nullopt}, {"XDG_CONFIG_HOME", dir.string()}});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(networkLines(r.out), (std::vector<std::string>{
                                       networkLine(valdo.uri(), "Brelmont Valdo Trac", "MFG:Brelmont;MDL:Valdo Trac;"),
                                       networkLine(merridenUri, "Brelmont Merriden", "MFG:Brelmont;MDL:Merriden;"),
                                   }));
    EXPECT_EQ(valdo.connections(), 1);
}

TEST_F(PjlhelperListing, EnvironmentWinsOverTheDevicesFile) {
    TcpResponder inFile(answersInfoId("Quorrin"));
    writeDevicesFile(inFile.uri() + "\n");

    const ProcessResult r = runPjlhelper({}, withDevices(""));
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_TRUE(networkLines(r.out).empty()) << r.out;
    EXPECT_EQ(inFile.connections(), 0);
}

// An address that refuses is left out at once; one that takes the connection but stays silent
// (an embosser busy embossing answers late) is given the reply time, no more.
TEST_F(PjlhelperListing, UnreachableAndSilentDevicesAreLeftOut) {
    TcpResponder silent(neverAnswers());
    TcpResponder orvin(answersInfoId("Orvin 200"));
    const std::string refused = "socket://127.0.0.1:" + std::to_string(closedPort());

    auto environment = withDevices(refused + " " + silent.uri() + " " + orvin.uri());
    environment["BRELMONT_PJL_REPLY_TIMEOUT_MS"] = "1000";
    const ProcessResult r = runPjlhelper({}, environment);
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(networkLines(r.out), (std::vector<std::string>{networkLine(orvin.uri(), "Brelmont Orvin 200",
                                                                         "MFG:Brelmont;MDL:Orvin 200;")}));
    EXPECT_LT(r.elapsed, 3000ms);
    EXPECT_EQ(silent.connections(), 1);
}

// Queue addresses are asked beside the configured ones, each device once however it is written.
TEST_F(PjlhelperListing, QueueAddressesAreProbedEachDeviceOnce) {
    TcpResponder orvin(answersInfoId("Orvin 200"));
    TcpResponder valdo(answersInfoId("Valdo Trac"));
    const std::string sameOrvin = "SOCKET://127.0.0.1:" + std::to_string(orvin.port());
    const ProcessResult r = runPjlhelper({"--probe", valdo.uri(), sameOrvin}, withDevices(orvin.uri()));
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(networkLines(r.out), (std::vector<std::string>{
                                       networkLine(orvin.uri(), "Brelmont Orvin 200", "MFG:Brelmont;MDL:Orvin 200;"),
                                       networkLine(valdo.uri(), "Brelmont Valdo Trac", "MFG:Brelmont;MDL:Valdo Trac;"),
                                   }));
    EXPECT_EQ(orvin.connections(), 1);
}

TEST_F(PjlhelperListing, SomethingElseOnThePortIsNotAnEmbosser) {
    TcpResponder web([](Peer& peer) {
        peer.readFor(100ms);
        peer.write("HTTP/1.1 400 Bad Request\r\nContent-Length: 0\r\n\r\n");
    });

    const ProcessResult r = runPjlhelper({}, withDevices(web.uri()));
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_TRUE(networkLines(r.out).empty()) << r.out;
}

TEST_F(PjlhelperListing, MalformedAddressesAreSkipped) {
    TcpResponder orvin(answersInfoId("Orvin 200"));
    const ProcessResult r = runPjlhelper({}, withDevices("socket://127.0.0.1:notaport ipp://x " + orvin.uri()));
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(networkLines(r.out), (std::vector<std::string>{networkLine(orvin.uri(), "Brelmont Orvin 200",
                                                                         "MFG:Brelmont;MDL:Orvin 200;")}));
}
