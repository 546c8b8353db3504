// PJL and data exchanges of the real pjlhelper against our own TCP embossers on 127.0.0.1.
#include "PjlhelperProcess.h"
#include "TcpResponder.h"

#include "ScratchDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <unistd.h>

namespace fs = std::filesystem;
using namespace brelmont::testing;
using namespace std::chrono_literals;

namespace {

const std::string StatusRequest = "\x1b%-12345X@PJL INFO STATUS\n";
const std::string StatusReply = "@PJL INFO STATUS [2 ENTRIES]\r\n\tCODE=10001\r\n\tDISPLAY=\"Ready\"\r\n\f";

class PjlhelperExchange : public ::testing::Test {
protected:

    std::string requestFile(const std::string& bytes) const {
        const fs::path path = dir / "pjl";
        std::ofstream(path, std::ios::binary) << bytes;
        return path.string();
    }

    // Short waits keep the suite fast; each test states the ones it relies on.
    static EnvironmentChanges waits(int quietMs, int replyMs) {
        return {{"BRELMONT_PJL_QUIET_MS", std::to_string(quietMs)},
                {"BRELMONT_PJL_REPLY_TIMEOUT_MS", std::to_string(replyMs)},
                {"BRELMONT_PJL_CONNECT_TIMEOUT_MS", "2000"}};
    }

    static ProcessResult exchange(const std::string& digits12, const std::string& file, const std::string& device,
                                  const EnvironmentChanges& env) {
        return runPjlhelper({digits12.substr(0, 1), digits12.substr(1, 1), "1", "1", "1", file, device}, env);
    }

    brelmont::testing::ScratchDir scratch{"pjlhelper-exchange"};
    const fs::path& dir = scratch.path();
};

} // namespace

TEST_F(PjlhelperExchange, QueryReturnsTheReplyBytesAsSent) {
    TcpResponder device([](Peer& peer) {
        if (peer.readUntil("@PJL INFO STATUS\n")) peer.write(StatusReply);
        peer.waitForClose();
    });

    // A long quiet time: only the form feed can end this reply quickly.
    const ProcessResult r = exchange("11", requestFile(StatusRequest), device.uri(), waits(3000, 5000));
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, StatusReply);
    EXPECT_LT(r.elapsed, 1500ms);
    device.stop();
    EXPECT_EQ(device.received(), StatusRequest);
}

TEST_F(PjlhelperExchange, TwoQueriesWaitForBothFormFeeds) {
    const std::string first = "@PJL INFO VARIABLES [1 ENTRIES]\r\nPAPER=A4 [2 ENUMERATED]\r\n\f";
    const std::string second = "@PJL INFO VERSIONS [1 ENTRIES]\r\nFIRMWARE=\"2.10\"\r\n\f";
    TcpResponder device([&](Peer& peer) {
        if (!peer.readUntil("@PJL INFO VERSIONS\n")) return;
        peer.write(first);
        peer.pause(400ms);
        peer.write(second);
        peer.waitForClose();
    });

    const ProcessResult r = exchange(
        "11", requestFile("\x1b%-12345X@PJL INFO VARIABLES\n@PJL INFO VERSIONS\n"), device.uri(), waits(3000, 5000));
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, first + second);
    EXPECT_LT(r.elapsed, 2000ms);
}

TEST_F(PjlhelperExchange, UnsolicitedStatusDoesNotEndTheReply) {
    const std::string status = "@PJL USTATUS TIMED\r\nCODE=10001\r\n\f";
    const std::string info = "@PJL INFO VARIABLES [1 ENTRIES]\r\nPAPER=A4\r\n\f";
    TcpResponder device([&](Peer& peer) {
        if (!peer.readUntil("@PJL INFO VARIABLES\n")) return;
        peer.write(status);
        peer.pause(300ms);
        peer.write(info);
        peer.waitForClose();
    });

    const ProcessResult r = exchange(
        "11", requestFile("\x1b%-12345X@PJL USTATUS TIMED=1\n@PJL INFO VARIABLES\n"), device.uri(), waits(3000, 5000));
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, status + info);
    EXPECT_LT(r.elapsed, 2000ms);
}

TEST_F(PjlhelperExchange, FirstDigitZeroSendsNothing) {
    TcpResponder device([](Peer& peer) { peer.waitForClose(); });

    // The file named need not exist when nothing is sent.
    const ProcessResult r = exchange("01", (dir / "missing").string(), device.uri(), waits(200, 5000));
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "");
    EXPECT_LT(r.elapsed, 1500ms);
    device.stop();
    EXPECT_EQ(device.connections(), 1);
    EXPECT_EQ(device.received(), "");
}

TEST_F(PjlhelperExchange, SecondDigitZeroReadsNothing) {
    TcpResponder device([](Peer& peer) {
        if (peer.readUntil("@PJL INFO STATUS\n")) peer.write(StatusReply);
        peer.waitForClose();
    });

    const ProcessResult r = exchange("10", requestFile(StatusRequest), device.uri(), waits(3000, 5000));
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "");
    EXPECT_LT(r.elapsed, 1500ms);
    device.stop();
    EXPECT_EQ(device.received(), StatusRequest);
}

TEST_F(PjlhelperExchange, LargeDataArrivesWhole) {
    std::string data(1 << 20, '\0');
    for (std::size_t i = 0; i < data.size(); ++i) data[i] = static_cast<char>(i * 7 + (i >> 9));
    TcpResponder device([](Peer& peer) { peer.waitForClose(); });

    const ProcessResult r = exchange("10", requestFile(data), device.uri(), waits(200, 5000));
    EXPECT_EQ(r.exitCode, 0) << r.err;
    device.stop();
    EXPECT_EQ(device.received().size(), data.size());
    EXPECT_TRUE(device.received() == data);
}

TEST_F(PjlhelperExchange, DataIsNotCutOffByBytesTheDeviceSendsUnasked) {
    // Closing a connection with unread bytes resets it; the tail of a firmware file must not be lost.
    std::string data(1 << 20, 'F');
    TcpResponder device([](Peer& peer) {
        peer.write("@PJL USTATUS DEVICE\r\nCODE=10001\r\n\f");
        peer.waitForClose();
    });

    const ProcessResult r = exchange("10", requestFile(data), device.uri(), waits(200, 5000));
    EXPECT_EQ(r.exitCode, 0) << r.err;
    device.stop();
    EXPECT_EQ(device.received().size(), data.size());
}

TEST_F(PjlhelperExchange, DeviceFallingSilentMidReplyGivesWhatCame) {
    const std::string partial = "@PJL INFO STATUS [2 ENTRIES]\r\n\tCODE=10001\r\n";
    TcpResponder device([&](Peer& peer) {
        if (peer.readUntil("@PJL INFO STATUS\n")) peer.write(partial);
        peer.waitForClose();
    });

    const ProcessResult r = exchange("11", requestFile(StatusRequest), device.uri(), waits(300, 5000));
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, partial);
    EXPECT_GE(r.elapsed, 300ms);
    EXPECT_LT(r.elapsed, 2000ms);
}

TEST_F(PjlhelperExchange, DeviceClosingMidReplyGivesWhatCame) {
    const std::string partial = "@PJL INFO STATUS [2 ENTRIES]\r\n";
    TcpResponder device([&](Peer& peer) {
        if (peer.readUntil("@PJL INFO STATUS\n")) peer.write(partial);
    });

    const ProcessResult r = exchange("11", requestFile(StatusRequest), device.uri(), waits(3000, 5000));
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, partial);
    EXPECT_LT(r.elapsed, 1500ms);
}

TEST_F(PjlhelperExchange, RequestWithoutQueriesWaitsOnlyForQuiet) {
    const std::string apply = "\x1b%-12345X@PJL DEFAULT PAPER=LETTER\n@PJL SERVICE UPDATE\n";
    TcpResponder device([](Peer& peer) { peer.waitForClose(); });

    const ProcessResult r = exchange("11", requestFile(apply), device.uri(), waits(300, 5000));
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "");
    EXPECT_LT(r.elapsed, 1500ms);
    device.stop();
    EXPECT_EQ(device.received(), apply);
}

TEST_F(PjlhelperExchange, DeviceThatNeverAnswersFailsInBoundedTime) {
    TcpResponder device([](Peer& peer) { peer.waitForClose(); });

    const ProcessResult r = exchange("11", requestFile(StatusRequest), device.uri(), waits(300, 800));
    EXPECT_NE(r.exitCode, 0);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err.rfind("pjlhelper: reading the reply: ", 0), 0u) << r.err;
    EXPECT_GE(r.elapsed, 800ms);
    EXPECT_LT(r.elapsed, 2500ms);
}

TEST_F(PjlhelperExchange, RefusedConnectionFails) {
    const std::string device = "socket://127.0.0.1:" + std::to_string(closedPort());
    const ProcessResult r = exchange("11", requestFile(StatusRequest), device, waits(300, 800));
    EXPECT_NE(r.exitCode, 0);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err.rfind("pjlhelper: connecting to " + device + ": ", 0), 0u) << r.err;
}

TEST_F(PjlhelperExchange, UnreadableFileFails) {
    TcpResponder device([](Peer& peer) { peer.waitForClose(); });
    const ProcessResult r = exchange("11", (dir / "missing").string(), device.uri(), waits(300, 800));
    EXPECT_NE(r.exitCode, 0);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err.rfind("pjlhelper: reading ", 0), 0u) << r.err;
}

TEST_F(PjlhelperExchange, UnknownSchemeFails) {
    const ProcessResult r = exchange("11", requestFile(StatusRequest), "lpd://host/queue", waits(300, 800));
    EXPECT_NE(r.exitCode, 0);
    EXPECT_EQ(r.out, "");
    EXPECT_NE(r.err.find("unknown scheme"), std::string::npos) << r.err;
}

TEST_F(PjlhelperExchange, UsbPrinterNotAttachedFails) {
    const ProcessResult r =
        exchange("11", requestFile(StatusRequest), "usb://Brelmont/Orvin%20200?serial=NONE", waits(300, 800));
    EXPECT_NE(r.exitCode, 0);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err.rfind("pjlhelper: connecting to usb://Brelmont/Orvin%20200?serial=NONE: ", 0), 0u) << r.err;
    EXPECT_LT(r.elapsed, 5000ms);
}

TEST_F(PjlhelperExchange, BadArgumentsFail) {
    for (const std::vector<std::string>& arguments : std::vector<std::vector<std::string>>{
             {"1"},
             {"1", "1", "1", "1", "1", "file"},
             {"x", "1", "1", "1", "1", "file", "socket://127.0.0.1"},
             {"1", "1", "1", "1", "11", "file", "socket://127.0.0.1"},
             {"1", "1", "1", "1", "1", "file", "socket://127.0.0.1", "extra"},
         }) {
        const ProcessResult r = runPjlhelper(arguments);
        EXPECT_EQ(r.exitCode, 2) << arguments.size();
        EXPECT_EQ(r.out, "");
        EXPECT_EQ(r.err.rfind("pjlhelper: reading the arguments: ", 0), 0u) << r.err;
    }
}
