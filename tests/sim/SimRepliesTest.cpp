// Every family answers every query of the toolboxes in the shape the system accepts.
#include "EmbosserSim.h"
#include "ReplyShape.h"
#include "SimClient.h"

#include <gtest/gtest.h>

#include <vector>

using namespace brelmont::testing;

namespace {
const std::string Uel = "\x1b%-12345X";

struct FamilyCase {
    const char* family;
    std::vector<const char*> idTexts; // all of them make the model table name the family's code
    const char* sensorKey;            // one sensor the family's toolbox labels
    const char* firmwareKey;          // the version the toolbox or firmware update reads
};

void PrintTo(const FamilyCase& c, std::ostream* os) { *os << c.family; }

const FamilyCase kFamilies[] = {
    {"orvin", {"MFG:Brelmont;MDL:Karro Orvin"}, "TEMP0", "FWPRIMARY"},
    {"ivra", {"MFG:Brelmont;MDL:Orvin Color TintBridge;"}, "SIASEN", "FIRMWARE"},
    {"tessaline", {"MFG:Brelmont;", "MDL:Tessaline 30RT;", ";S:0402"}, "SOLTEMPERATURE0", "FIRMWARE"},
    {"valdo", {"MFG:Brelmont;MDL:Valdo"}, "BOARDTEMP", "FWPRIMARY"},
    {"merriden", {"MFG:Brelmont;MDL:Merriden;"}, "CARRIAGETEMP", "FWPRIMARY"},
    {"fennick", {"MFG:Brelmont;MDL:Quorrin;", ";S:"}, "LV34", "FIRMWARE"},
};

struct QueryCase {
    const char* name;
    std::string request;
    const char* header;
    bool headerAnywhere;
};

const QueryCase kQueries[] = {
    {"variables", Uel + "@PJL INFO VARIABLES\n", "@PJL INFO VARIABLES [", false},
    {"timedvariables", Uel + "@PJL USTATUS TIMED=1\n@PJL INFO VARIABLES\n", "@PJL INFO VARIABLES [", false},
    {"versions", Uel + "@PJL INFO VERSIONS\n", "@PJL INFO VERSIONS [", false},
    {"status", Uel + "@PJL INFO STATUS\n", "@PJL INFO STATUS [", false},
    {"legacy", Uel + "@PJL INFO LEGACY\n", "@PJL INFO LEGACY [", false},
    {"sensors", Uel + "@PJL INFO SENSORS\n", "PJL INFO SENSORS [", true},
};

class SimReplies : public ::testing::TestWithParam<FamilyCase> {};

TEST_P(SimReplies, EveryQueryHasHeaderMatchingCountAndFormFeed)
{
    EmbosserSim sim(GetParam().family);
    for (const QueryCase& q : kQueries) {
        SCOPED_TRACE(q.name);
        const std::string bytes = exchange(sim.port(), q.request, 3000);
        ASSERT_FALSE(bytes.empty());
        EXPECT_EQ(bytes.back(), '\f');
        EXPECT_EQ(std::count(bytes.begin(), bytes.end(), '\f'), 1);
        const ParsedReply r = parseReply(splitReplies(bytes).at(0));
        ASSERT_FALSE(r.lines.empty());
        if (q.headerAnywhere)
            EXPECT_NE(r.lines[0].find(q.header), std::string::npos) << r.lines[0];
        else
            EXPECT_EQ(r.lines[0].rfind(q.header, 0), 0u) << r.lines[0];
        EXPECT_GT(r.announced, 0);
        EXPECT_EQ(r.entries, r.announced);
        EXPECT_EQ(static_cast<int>(r.lines.size()) - 1, r.entries) << "every line is an entry";
    }
}

TEST_P(SimReplies, DeviceIdNamesTheFamily)
{
    EmbosserSim sim(GetParam().family);
    const std::string bytes = exchange(sim.port(), Uel + "@PJL INFO ID\n", 3000);
    const ParsedReply r = parseReply(splitReplies(bytes).at(0));
    ASSERT_EQ(r.lines.size(), 2u);
    EXPECT_EQ(r.lines[0], "@PJL INFO ID");
    EXPECT_EQ(r.lines[1].front(), '"');
    EXPECT_EQ(r.lines[1].back(), '"');
    for (const char* text : GetParam().idTexts)
        EXPECT_NE(r.lines[1].find(text), std::string::npos) << text;
}

TEST_P(SimReplies, SensorsAndFirmwareAreThere)
{
    EmbosserSim sim(GetParam().family);
    const auto replies = splitReplies(
        exchange(sim.port(), Uel + "@PJL INFO SENSORS\n@PJL INFO VERSIONS\n@PJL INFO LEGACY\n", 3000));
    ASSERT_EQ(replies.size(), 3u);
    EXPECT_FALSE(valueOf(parseReply(replies[0]), GetParam().sensorKey).empty());
    const std::string firmware = valueOf(parseReply(replies[1]), GetParam().firmwareKey).empty()
        ? valueOf(parseReply(replies[2]), GetParam().firmwareKey)
        : valueOf(parseReply(replies[1]), GetParam().firmwareKey);
    EXPECT_FALSE(firmware.empty());
}

TEST_P(SimReplies, DeviceIdCanBeReplaced)
{
    EmbosserSim sim(GetParam().family, {"--device-id", "MFG:Brelmont;MDL:Test;"});
    const ParsedReply r = parseReply(exchange(sim.port(), Uel + "@PJL INFO ID\n", 3000));
    ASSERT_EQ(r.lines.size(), 2u);
    EXPECT_EQ(r.lines[1], "\"MFG:Brelmont;MDL:Test;\"");
}

INSTANTIATE_TEST_SUITE_P(Families, SimReplies, ::testing::ValuesIn(kFamilies),
                         [](const auto& info) { return std::string(info.param.family); });

TEST(SimReplies, SeveralQueriesInOneConnectionAnswerInOrder)
{
    EmbosserSim sim("valdo");
    const auto replies = splitReplies(exchange(
        sim.port(), Uel + "@PJL INFO VERSIONS\n@PJL INFO STATUS\n@PJL ECHO ping\n@PJL DINQUIRE PAPERWIDTH\n", 3000));
    ASSERT_EQ(replies.size(), 4u);
    EXPECT_EQ(parseReply(replies[0]).lines.at(0).rfind("@PJL INFO VERSIONS [", 0), 0u);
    EXPECT_EQ(parseReply(replies[1]).lines.at(0).rfind("@PJL INFO STATUS [", 0), 0u);
    EXPECT_EQ(parseReply(replies[2]).lines.at(0), "@PJL ECHO ping");
    EXPECT_EQ(parseReply(replies[3]).lines, (std::vector<std::string>{"@PJL DINQUIRE PAPERWIDTH", "6120"}));
}

TEST(SimReplies, WithoutHalfCloseTheRepliesStillArrive)
{
    EmbosserSim sim("orvin");
    ExchangeOptions options;
    options.halfClose = false;
    const std::string bytes = exchange(sim.port(), Uel + "@PJL INFO STATUS\n", options);
    EXPECT_EQ(std::count(bytes.begin(), bytes.end(), '\f'), 1);
}

TEST(SimReplies, UnknownDinquireIsAnsweredWithAQuestionMark)
{
    EmbosserSim sim("merriden");
    const ParsedReply r = parseReply(exchange(sim.port(), Uel + "@PJL DINQUIRE NOSUCHNAME\n", 3000));
    EXPECT_EQ(r.lines, (std::vector<std::string>{"@PJL DINQUIRE NOSUCHNAME", "?"}));
}

} // namespace
