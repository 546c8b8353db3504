// Each fault option spoils exactly as many replies or connections as it says, and no client is
// left waiting forever.
#include "EmbosserSim.h"
#include "ReplyShape.h"
#include "SimClient.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <chrono>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

using namespace brelmont::testing;

namespace {
const std::string Uel = "\x1b%-12345X";
const std::string Versions = Uel + "@PJL INFO VERSIONS\n";

bool accepted(const std::string& bytes)
{
    if (bytes.empty() || bytes.back() != '\f')
        return false;
    const ParsedReply r = parseReply(splitReplies(bytes).at(0));
    return !r.lines.empty() && r.lines[0].rfind("@PJL INFO VERSIONS [", 0) == 0 && r.announced > 0
        && r.entries == r.announced;
}

TEST(SimFaults, GarbleSpoilsTheHeaderOfTheFirstReplies)
{
    EmbosserSim sim("valdo", {"--garble", "2"});
    for (int i = 0; i < 2; ++i) {
        const std::string bytes = exchange(sim.port(), Versions, 3000);
        EXPECT_EQ(bytes.back(), '\f');
        EXPECT_EQ(bytes.rfind("@PJL INFO VERSIONS", 0), std::string::npos);
        EXPECT_FALSE(accepted(bytes));
    }
    EXPECT_TRUE(accepted(exchange(sim.port(), Versions, 3000)));
}

TEST(SimFaults, WrongCountAnnouncesMoreThanThereIs)
{
    EmbosserSim sim("orvin", {"--wrong-count", "1"});
    const ParsedReply bad = parseReply(exchange(sim.port(), Versions, 3000));
    EXPECT_EQ(bad.lines.at(0).rfind("@PJL INFO VERSIONS [", 0), 0u);
    EXPECT_NE(bad.entries, bad.announced);
    EXPECT_TRUE(accepted(exchange(sim.port(), Versions, 3000)));
}

TEST(SimFaults, WrongCountOnNvramParametersLeavesNoParameterLine)
{
    EmbosserSim sim("fennick", {"--wrong-count", "1"});
    const std::string request = Uel + "@PJL USTATUS TIMED=1\n@PJL DINQUIRE NVPARMS\n";
    EXPECT_EQ(parseReply(exchange(sim.port(), request, 3000)).lines.size(), 1u);
    EXPECT_EQ(parseReply(exchange(sim.port(), request, 3000)).lines.size(), 2u);
}

TEST(SimFaults, ShortReplyIsCutAndTheConnectionEnds)
{
    EmbosserSim sim("tessaline", {"--short-reply", "1"});
    const std::string full = exchange(sim.port(), Versions, 3000); // spoiled
    const std::string good = exchange(sim.port(), Versions, 3000);
    EXPECT_TRUE(accepted(good));
    EXPECT_FALSE(full.empty());
    EXPECT_LT(full.size(), good.size());
    EXPECT_EQ(full.find('\f'), std::string::npos);
}

TEST(SimFaults, ShortReplyDoesNotHangAClientThatKeepsSending)
{
    EmbosserSim sim("tessaline", {"--short-reply", "1"});
    ExchangeOptions options;
    options.halfClose = false;
    options.timeoutMs = 5000;
    const auto start = std::chrono::steady_clock::now();
    const std::string bytes = exchange(sim.port(), Versions + "@PJL INFO STATUS\n", options);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(3));
    EXPECT_EQ(bytes.find('\f'), std::string::npos);
}

TEST(SimFaults, DelayWaitsBeforeEachReply)
{
    EmbosserSim sim("merriden", {"--delay", "300"});
    const auto start = std::chrono::steady_clock::now();
    const std::string bytes = exchange(sim.port(), Versions + "@PJL INFO STATUS\n", 3000);
    const auto elapsed = std::chrono::steady_clock::now() - start;
    EXPECT_EQ(std::count(bytes.begin(), bytes.end(), '\f'), 2);
    EXPECT_GE(elapsed, std::chrono::milliseconds(600));
}

TEST(SimFaults, DroppedConnectionDoesNotHangTheClient)
{
    EmbosserSim sim("ivra", {"--drop", "1"});
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(exchange(sim.port(), Versions, 5000), "");
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
    EXPECT_TRUE(accepted(exchange(sim.port(), Versions, 3000)));
    EXPECT_NE(sim.logText().find("dropped"), std::string::npos);
}

TEST(SimFaults, FaultsAreLogged)
{
    EmbosserSim sim("orvin", {"--garble", "1"});
    exchange(sim.port(), Versions, 3000);
    EXPECT_NE(sim.logText().find("garbled header"), std::string::npos);
}

TEST(SimFaults, AnIdleConnectionDoesNotBlockOthers)
{
    EmbosserSim sim("orvin");
    const int idle = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(sim.port());
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ASSERT_EQ(::connect(idle, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
    ASSERT_EQ(::send(idle, "@PJL INFO", 9, MSG_NOSIGNAL), 9); // a query never finished

    const auto start = std::chrono::steady_clock::now();
    EXPECT_TRUE(accepted(exchange(sim.port(), Versions, 3000)));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
    ::close(idle);
}

TEST(SimFaults, BadCommandLineIsRefused)
{
    EXPECT_THROW(EmbosserSim("nosuchfamily"), std::runtime_error);
    EXPECT_THROW(EmbosserSim("orvin", {"--garble", "x"}), std::runtime_error);
}

} // namespace
