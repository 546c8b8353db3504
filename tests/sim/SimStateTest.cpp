// Settings written with DEFAULT change what the device reports, and survive a restart.
#include "EmbosserSim.h"
#include "ReplyShape.h"
#include "SimClient.h"

#include <gtest/gtest.h>

#include <fstream>

using namespace brelmont::testing;

namespace {
const std::string Uel = "\x1b%-12345X";

ParsedReply query(const EmbosserSim& sim, const std::string& what)
{
    return parseReply(exchange(sim.port(), Uel + "@PJL " + what + "\n", 3000));
}

// Byte i of the NVRAM parameter line.
int nvramByte(const EmbosserSim& sim, size_t i)
{
    const ParsedReply r = query(sim, "DINQUIRE NVPARMS");
    if (r.lines.size() < 2 || r.lines[1].size() < 2 * i + 2)
        return -1;
    return std::stoi(r.lines[1].substr(2 * i, 2), nullptr, 16);
}

TEST(SimState, DefaultChangesVariablesAndSurvivesRestart)
{
    EmbosserSim sim("orvin");
    exchange(sim.port(),
             Uel + "@PJL DEFAULT FORMWIDTH=166\n@PJL DEFAULT IPADDRESS=\"10.0.0.5\"\n@PJL DEFAULT MEDIATYPE=PLAIN\n"
                   "@PJL SERVICE UPDATE\n",
             3000);
    EXPECT_EQ(valueOf(query(sim, "INFO VARIABLES"), "FORMWIDTH"), "166");
    EXPECT_EQ(valueOf(query(sim, "INFO VARIABLES"), "IPADDRESS"), "10.0.0.5");
    EXPECT_EQ(valueOf(query(sim, "INFO LEGACY"), "MEDIATYPE"), "PLAIN");
    EXPECT_TRUE(std::filesystem::exists(sim.statePath()));

    sim.restart();
    const ParsedReply after = query(sim, "INFO VARIABLES");
    EXPECT_EQ(valueOf(after, "FORMWIDTH"), "166");
    EXPECT_EQ(valueOf(after, "IPADDRESS"), "10.0.0.5");
    EXPECT_EQ(valueOf(query(sim, "INFO LEGACY"), "MEDIATYPE"), "PLAIN");
    EXPECT_EQ(after.entries, after.announced);
}

TEST(SimState, QuotedValueWithBlanksIsKept)
{
    EmbosserSim sim("valdo");
    exchange(sim.port(), Uel + "@PJL DEFAULT BRAILLETABLE=\"EN GB\"\n", 3000);
    EXPECT_EQ(query(sim, "DINQUIRE BRAILLETABLE").lines.at(1), "EN GB");
}

TEST(SimState, ReadingsAndUnknownNamesAreNotSettings)
{
    EmbosserSim sim("valdo");
    exchange(sim.port(), Uel + "@PJL DEFAULT FWPRIMARY=9.9.9\n@PJL DEFAULT NOSUCH=1\n", 3000);
    EXPECT_EQ(valueOf(query(sim, "INFO VERSIONS"), "FWPRIMARY"), "2.3.1");
    EXPECT_EQ(valueOf(query(sim, "INFO VARIABLES"), "NOSUCH"), "");
}

TEST(SimState, RestartKeepsThePort)
{
    EmbosserSim sim("tessaline");
    const uint16_t port = sim.port();
    sim.restart();
    EXPECT_EQ(sim.port(), port);
}

TEST(SimState, SigtermEndsCleanly)
{
    EmbosserSim sim("merriden");
    EXPECT_EQ(sim.stop(), 0);
    EXPECT_FALSE(sim.running());
}

TEST(SimState, FennickNvramSetReadAndRestart)
{
    EmbosserSim sim("fennick");
    EXPECT_EQ(nvramByte(sim, 0), 128);
    EXPECT_EQ(nvramByte(sim, 76), 170); // FORMWIDTHL: Letter width in twentieths
    EXPECT_EQ(query(sim, "DINQUIRE NVRAM76").lines,
              (std::vector<std::string>{"@PJL DINQUIRE NVRAM76", "170"}));

    // Apply writes "=", the single-parameter setter a blank; both count.
    exchange(sim.port(), Uel + "@PJL DEFAULT NVRAM76=166\n@PJL DEFAULT NVRAM79 12\n@PJL SERVICE UPDATE\n", 3000);
    EXPECT_EQ(nvramByte(sim, 76), 166);
    EXPECT_EQ(query(sim, "DINQUIRE NVRAM79").lines.at(1), "12");
    EXPECT_EQ(valueOf(query(sim, "INFO VARIABLES"), "TOPMARGIN"), "12");

    sim.restart();
    EXPECT_EQ(nvramByte(sim, 0), 128);
    EXPECT_EQ(nvramByte(sim, 76), 166);
    EXPECT_EQ(nvramByte(sim, 79), 12);
}

TEST(SimState, FennickRefusesBytesOutOfRangeAndTheMark)
{
    EmbosserSim sim("fennick");
    exchange(sim.port(), Uel + "@PJL DEFAULT NVRAM76=300\n@PJL DEFAULT NVRAM0=0\n", 3000);
    EXPECT_EQ(nvramByte(sim, 76), 170);
    EXPECT_EQ(nvramByte(sim, 0), 128);
}

TEST(SimState, FennickNamedParameterAndTableSlot)
{
    EmbosserSim sim("fennick");
    exchange(sim.port(), Uel + "@PJL DEFAULT TABLE=3\n", 3000);
    EXPECT_EQ(nvramByte(sim, 68), 3);
}

TEST(SimState, FennickBinaryVersionRequest)
{
    EmbosserSim sim("fennick");
    const std::string request("\x1b\x80\x34\x00\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\xd1\x00", 16);
    const std::string reply = exchange(sim.port(), request, 3000);
    ASSERT_EQ(reply.size(), 16u);
    EXPECT_EQ(static_cast<unsigned char>(reply[0]), 0x1b);
    EXPECT_EQ(static_cast<unsigned char>(reply[1]), 0x80);
    EXPECT_EQ(reply[6], 2);
    EXPECT_EQ(reply[8], 4);
    EXPECT_EQ(reply[10], 17);
    EXPECT_EQ(valueOf(query(sim, "INFO VERSIONS"), "FIRMWARE"), "2.4.17");
}

TEST(SimState, FillStateResetFillsTheCartridge)
{
    EmbosserSim sim("ivra");
    exchange(sim.port(), Uel + "\x1b%Pinkjet.clearnozzlecount 1;", 3000);
    EXPECT_EQ(valueOf(query(sim, "INFO STATUS"), "INKLEVEL1"), "100");
    EXPECT_EQ(valueOf(query(sim, "INFO STATUS"), "INKLEVEL0"), "82");
    EXPECT_NE(sim.logText().find("fill-state reset 1"), std::string::npos);
    sim.restart();
    EXPECT_EQ(valueOf(query(sim, "INFO STATUS"), "INKLEVEL1"), "100");
}

TEST(SimState, PreparedStateFileIsLoaded)
{
    EmbosserSim sim("orvin");
    sim.stop();
    std::ofstream(sim.statePath()) << "family=orvin\n[VERSIONS]\nSIAFW=0\n";
    sim.restart();
    EXPECT_EQ(valueOf(query(sim, "INFO VERSIONS"), "SIAFW"), "0");
    EXPECT_EQ(valueOf(query(sim, "INFO VARIABLES"), "FORMWIDTH"), "170");
}

} // namespace
