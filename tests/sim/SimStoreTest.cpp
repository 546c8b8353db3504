// What is sent to the simulator besides PJL is kept: braille tables, print jobs, firmware; and
// every request is in the log.
#include "EmbosserSim.h"
#include "ReplyShape.h"
#include "SimClient.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

using namespace brelmont::testing;

namespace {
const std::string Uel = "\x1b%-12345X";

std::string readFile(const std::filesystem::path& path)
{
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), {}};
}

std::string allBytes()
{
    std::string table;
    for (int i = 0; i < 256; ++i)
        table += static_cast<char>(i);
    return table;
}

// Binary data without a universal exit in it, as a job or a firmware file would carry.
std::string binaryData(size_t size)
{
    std::string data;
    uint32_t x = 12345;
    while (data.size() < size) {
        x = x * 1103515245u + 12345u;
        const char c = static_cast<char>(x >> 16);
        data += c == '\x1b' ? 'E' : c;
    }
    return data;
}

TEST(SimStore, BrailleTableDownloadIsStored)
{
    EmbosserSim sim("tessaline");
    const std::string table = allBytes();
    const std::string request =
        Uel + "@PJL DEFAULT TABLE=0\n@PJL FSDOWNLOAD SIZE=256 NAME=\"BRAILLETABLE0\"\n" + table;
    ASSERT_EQ(request.size(), 332u);
    exchange(sim.port(), request, 3000);
    EXPECT_EQ(readFile(sim.storePath() / "BRAILLETABLE0"), table);
    EXPECT_EQ(valueOf(parseReply(exchange(sim.port(), Uel + "@PJL INFO VARIABLES\n", 3000)), "TABLE"), "0");
}

TEST(SimStore, TableSlotOfFennickAndPjlAfterTheTable)
{
    EmbosserSim sim("fennick");
    const std::string table = allBytes();
    const std::string bytes = exchange(
        sim.port(),
        Uel + "@PJL DEFAULT TABLE=3\n@PJL FSDOWNLOAD SIZE=256 NAME=\"BRAILLETABLE3\"\n" + table
            + "\n@PJL SERVICE UPDATE\n@PJL DINQUIRE NVRAM68\n",
        3000);
    EXPECT_EQ(readFile(sim.storePath() / "BRAILLETABLE3"), table);
    EXPECT_EQ(parseReply(bytes).lines, (std::vector<std::string>{"@PJL DINQUIRE NVRAM68", "3"}));
}

TEST(SimStore, IncompleteDownloadIsNotStored)
{
    EmbosserSim sim("tessaline");
    exchange(sim.port(), Uel + "@PJL FSDOWNLOAD SIZE=256 NAME=\"BRAILLETABLE0\"\n" + allBytes().substr(0, 100), 3000);
    EXPECT_FALSE(std::filesystem::exists(sim.storePath() / "BRAILLETABLE0"));
    EXPECT_NE(sim.logText().find("ended after 100 bytes"), std::string::npos);
}

TEST(SimStore, PrintJobDataIsStoredByteIdentical)
{
    EmbosserSim sim("orvin");
    const std::string data = binaryData(200'000);
    exchange(sim.port(),
             Uel + "@PJL JOB NAME=\"test\"\n@PJL ENTER LANGUAGE=BRAILLE\n" + data + Uel + "@PJL EOJ\n" + Uel, 5000);
    EXPECT_EQ(readFile(sim.storePath() / "received-001.bin"), data);
}

TEST(SimStore, RawFileWithoutPjlIsStoredWhole)
{
    EmbosserSim sim("valdo");
    const std::string firmware = "FW" + binaryData(50'000);
    exchange(sim.port(), firmware, 5000);
    exchange(sim.port(), firmware.substr(0, 1000), 5000);
    EXPECT_EQ(readFile(sim.storePath() / "received-001.bin"), firmware);
    EXPECT_EQ(readFile(sim.storePath() / "received-002.bin"), firmware.substr(0, 1000));
}

TEST(SimStore, ReceivedFilesAreNotOverwrittenAfterRestart)
{
    EmbosserSim sim("merriden");
    exchange(sim.port(), "first", 3000);
    sim.restart();
    exchange(sim.port(), "second", 3000);
    EXPECT_EQ(readFile(sim.storePath() / "received-001.bin"), "first");
    EXPECT_EQ(readFile(sim.storePath() / "received-002.bin"), "second");
}

TEST(SimStore, QueriesOnlyLeaveNoDataFile)
{
    EmbosserSim sim("orvin");
    exchange(sim.port(), Uel + "@PJL INFO STATUS\r\n\r\n", 3000);
    EXPECT_FALSE(std::filesystem::exists(sim.storePath() / "received-001.bin"));
}

TEST(SimStore, LogRecordsEachRequest)
{
    EmbosserSim sim("valdo");
    exchange(sim.port(), Uel + "@PJL INFO VARIABLES\n", 3000);
    exchange(sim.port(), Uel + "@PJL DEFAULT AUTOCR=OFF\n@PJL SERVICE UPDATE\n", 3000);
    sim.stop();
    const std::string log = sim.logText();
    for (const char* text : {"@PJL INFO VARIABLES", "@PJL DEFAULT AUTOCR=OFF | changed", "@PJL SERVICE UPDATE"})
        EXPECT_NE(log.find(text), std::string::npos) << text << "\n" << log;
    EXPECT_NE(log.find("#0001 "), std::string::npos);
}

} // namespace
