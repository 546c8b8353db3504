#include "printer/PjlReplies.h"
#include "printer/RetryQuery.h"

#include <gtest/gtest.h>

#include <limits>

using namespace brelmont::printer;

TEST(PjlReplies, NumberParsers) {
    struct IntCase { std::string text; int64_t value; };
    for (const IntCase& c : std::initializer_list<IntCase>{{"@PJL INFO VARIABLES [37 ENTRIES]", 37},
                                                          {"v2.10", 2},
                                                          {"-5", 5},
                                                          {"none", 0},
                                                          {"", 0},
                                                          {"x99999999999999999999999", std::numeric_limits<int64_t>::max()},
                                                          {"\xc3\xa9" "12", 12}})
        EXPECT_EQ(firstInteger(c.text), c.value) << c.text;

    struct DecimalCase { std::string text; double value; };
    for (const DecimalCase& c : std::initializer_list<DecimalCase>{{"8.5\"", 8.5}, {"11\"", 11}, {".25", 0.25}, {"1.2.3", 12.3},
                                                                  {"width 2.75 in", 2.75}, {"", 0}, {"abc", 0}})
        EXPECT_DOUBLE_EQ(firstDecimal(c.text), c.value) << c.text;

    EXPECT_EQ(hexByte("00ff7Ag1", 0), 0);
    EXPECT_EQ(hexByte("00ff7Ag1", 1), 255);
    EXPECT_EQ(hexByte("00ff7Ag1", 2), 0x7A);
    EXPECT_EQ(hexByte("00ff7Ag1", 3), 1); // "g" counts as 0
    EXPECT_EQ(hexByte("00ff", 9), 0);
}

TEST(PjlReplies, SplitKeyValue) {
    struct Case { std::string line, key, value; };
    for (const Case& c : std::initializer_list<Case>{{"CODE=10001", "CODE", "10001"},
                                                     {"DISPLAY=\"Ready to emboss\"", "DISPLAY", "Ready to emboss"},
                                                     {"A=b=c", "A", "b=c"},
                                                     {"NOEQUALS", "NOEQUALS", ""},
                                                     {"=value", "", "value"},
                                                     {"K=v\nrest", "K", "v"}}) {
        const auto [key, value] = splitKeyValue(c.line);
        EXPECT_EQ(key, c.key) << c.line;
        EXPECT_EQ(value, c.value) << c.line;
    }
}

TEST(PjlReplies, InfoListShape) {
    struct Case { const char* what; ReplyLines reply; std::optional<std::vector<PjlItem>> items; };
    const Case cases[] = {
        {"two entries, quotes dropped", {"@PJL INFO STATUS [2 ENTRIES]", "CODE=10001", "DISPLAY=\"Ready\"", ""},
         std::vector<PjlItem>{{"CODE", "10001"}, {"DISPLAY", "Ready"}}},
        {"fewer entries than announced", {"@PJL INFO STATUS [3 ENTRIES]", "A=1", "B=2"}, std::vector<PjlItem>{}},
        {"more entries than announced", {"@PJL INFO STATUS [1 ENTRIES]", "A=1", "B=2"}, std::vector<PjlItem>{}},
        {"empty halves do not count", {"@PJL INFO STATUS [2 ENTRIES]", "A=", "=1", "B=2", "C=3"},
         std::vector<PjlItem>{{"B", "2"}, {"C", "3"}}},
        {"entries end at a PJL line", {"@PJL INFO STATUS [2 ENTRIES]", "A=1", "@PJL INFO STATUS", "B=2"}, std::vector<PjlItem>{}},
        {"wrong header", {"@PJL INFO VARIABLES [2 ENTRIES]", "A=1", "B=2"}, std::nullopt},
        {"header not at the start", {"x@PJL INFO STATUS [1 ENTRIES]", "A=1"}, std::nullopt},
        {"no entries announced", {"@PJL INFO STATUS [0 ENTRIES]"}, std::nullopt},
        {"empty reply", {""}, std::nullopt},
    };
    for (const Case& c : cases) EXPECT_EQ(readInfoList(c.reply, pjl::Status), c.items) << c.what;

    // The sensor header may stand anywhere in line 0; lines 1 to N are taken as they come.
    const ReplyLines sensors{"\x1b@PJL INFO SENSORS [2 ENTRIES]", "PAPER=1", "LID", "EXTRA=3"};
    EXPECT_EQ(readSensorList(sensors, pjl::Sensors), (std::vector<PjlItem>{{"PAPER", "1"}, {"LID", ""}}));
    EXPECT_EQ(readSensorList({"@PJL INFO SENSORS [5 ENTRIES]", "A=1"}, pjl::Sensors), (std::vector<PjlItem>{{"A", "1"}}));
}

TEST(PjlReplies, RequestTexts) {
    EXPECT_EQ(pjl::Variables.request, "\x1b%-12345X@PJL INFO VARIABLES\n");
    EXPECT_EQ(pjl::VariablesWithStatus.request, "\x1b%-12345X@PJL USTATUS TIMED=1\n@PJL INFO VARIABLES\n");
    EXPECT_EQ(pjl::NvParms.request, "\x1b%-12345X@PJL USTATUS TIMED=1\n@PJL DINQUIRE NVPARMS\n");
    EXPECT_EQ(pjl::applyRequest({{"COPIES", "2"}, {"JOBNAME", "a b"}}),
              "\x1b%-12345X@PJL DEFAULT COPIES=2\n@PJL DEFAULT JOBNAME=a b\n@PJL SERVICE UPDATE\n");
    EXPECT_EQ(pjl::setRequest("JOBNAME", "a b"), "\x1b%-12345X@PJL DEFAULT JOBNAME=\"a b\"\n");
    EXPECT_EQ(pjl::setRequest("COPIES", "2"), "\x1b%-12345X@PJL DEFAULT COPIES=2\n");
    EXPECT_EQ(pjl::setAndUpdateRequest("TABLE", 3), "\x1b%-12345X@PJL DEFAULT TABLE=3\n@PJL SERVICE UPDATE\n");
    EXPECT_EQ(pjl::clearNozzleCountRequest(1), "\x1b%-12345X\x1b%Pinkjet.clearnozzlecount 1;");
}

namespace {
ExchangeResult replied(ReplyLines lines) {
    ExchangeResult result;
    result.reply = std::move(lines);
    return result;
}
} // namespace

TEST(RetryQuery, SendsAgainWhileRefusedUpToTenTimes) {
    struct Case { int refusals; int sends; bool accepted; };
    for (const Case& c : {Case{0, 1, true}, Case{9, 10, true}, Case{10, 10, false}, Case{30, 10, false}}) {
        int sent = 0;
        const auto result = askWithRetry(pjl::Versions, "socket://x",
                                         [&](const std::string& request, const std::string& device, const ExchangeBounds&) {
                                             EXPECT_EQ(request, pjl::Versions.request);
                                             EXPECT_EQ(device, "socket://x");
                                             return replied(++sent <= c.refusals ? ReplyLines{"garbage"}
                                                                                 : ReplyLines{"@PJL INFO VERSIONS [1 ENTRIES]", "FW=1.0", ""});
                                         });
        EXPECT_EQ(result.sends, c.sends);
        EXPECT_EQ(sent, c.sends);
        EXPECT_EQ(result.items.has_value(), c.accepted);
    }
    // A reply whose entries miss their count is accepted as received, and gives nothing.
    const auto mismatch = askWithRetry(pjl::Versions, "d", [](const std::string&, const std::string&, const ExchangeBounds&) {
        return replied({"@PJL INFO VERSIONS [2 ENTRIES]", "FW=1.0"});
    });
    EXPECT_EQ(mismatch.sends, 1);
    ASSERT_TRUE(mismatch.items);
    EXPECT_TRUE(mismatch.items->empty());
}
