#include "printer/PjlReplies.h"
#include "printer/RetryQuery.h"

#include <gtest/gtest.h>

#include <limits>

using namespace brelmont::printer;

// A number a device sends stops at the largest there is. (What the readers make of ordinary
// numbers, decimals, hex pairs and KEY=VALUE lines is pinned through the lists below and the
// toolbox engine's shown values and lines.)
TEST(PjlReplies, AHugeNumberStopsAtTheLargest) {
    EXPECT_EQ(firstInteger("x99999999999999999999999"), std::numeric_limits<int64_t>::max());
}

TEST(PjlReplies, InfoListShape) {
    struct Case {
        const char* what;
        ReplyLines reply;
        std::optional<std::vector<PjlItem>> items;
    };
    // clang-format off
    const Case cases[] = {
        {"two entries, quotes dropped", {"@PJL INFO STATUS [2 ENTRIES]", "CODE=10001", "DISPLAY=\"Ready\"", ""},
         std::vector<PjlItem>{{"CODE", "10001"}, {"DISPLAY", "Ready"}}},
        {"fewer entries than announced", {"@PJL INFO STATUS [3 ENTRIES]", "A=1", "B=2"}, std::vector<PjlItem>{}},
        {"more entries than announced", {"@PJL INFO STATUS [1 ENTRIES]", "A=1", "B=2"}, std::vector<PjlItem>{}},
        {"empty halves do not count", {"@PJL INFO STATUS [2 ENTRIES]", "A=", "=1", "B=2", "C=3"}, std::vector<PjlItem>{{"B", "2"}, {"C", "3"}}},
        {"entries end at a PJL line", {"@PJL INFO STATUS [2 ENTRIES]", "A=1", "@PJL INFO STATUS", "B=2"}, std::vector<PjlItem>{}},
        {"wrong header", {"@PJL INFO VARIABLES [2 ENTRIES]", "A=1", "B=2"}, std::nullopt},
        {"header not at the start", {"x@PJL INFO STATUS [1 ENTRIES]", "A=1"}, std::nullopt},
        {"no entries announced", {"@PJL INFO STATUS [0 ENTRIES]"}, std::nullopt},
    };
    // clang-format on
    for (const Case& c : cases) EXPECT_EQ(readInfoList(c.reply, pjl::Status), c.items) << c.what;
    // (The sensor list, shown as text only, is read through each family's toolbox.)
}

// The parameter line is taken only whole: every byte the table reads must be on it, in hex.
TEST(PjlReplies, NvramParameterLineIsTakenOnlyWhole) {
    const std::vector<NvramItem> table{{"A", 1}, {"B", 3}};
    const auto read = [&](const std::string& line) {
        return readNvramParameters({"@PJL DINQUIRE NVPARMS", line}, pjl::NvParms, table);
    };
    const auto whole = read("800A00FF");
    ASSERT_TRUE(whole);
    EXPECT_EQ((*whole)[0].value, "10");
    EXPECT_EQ((*whole)[1].value, "255");
    EXPECT_FALSE(read("800A00F"));  // one digit short
    EXPECT_FALSE(read("800A00FG")); // not hex
    EXPECT_FALSE(read("810A00FF")); // not marked valid
}

// Sent again while the reply is not understood or the device dropped the connection, ten times at
// most; any other failure (unreachable, silent, too much) ends the asking at once. A reply whose
// entries miss their count is accepted as received, and gives nothing.
TEST(RetryQuery, SendsAgainWhileRefusedOrDroppedUpToTenTimes) {
    const ExchangeResult garbage{{}, {"garbage"}}, dropped{{ExchangeStatus::Dropped, "closed"}, {}},
        silent{{ExchangeStatus::NoReply, "no reply"}, {}}, one{{}, {"@PJL INFO VERSIONS [1 ENTRIES]", "FW=1.0", ""}},
        miscounted{{}, {"@PJL INFO VERSIONS [2 ENTRIES]", "FW=1"}};
    // The first `times` sends meet `fault`, the others `answer`; the sends, the entries taken (-1:
    // none accepted) and how the asking ended.
    const struct {
        ExchangeResult fault;
        int times;
        ExchangeResult answer;
        int sends, items;
        ExchangeStatus status;
    } cases[] = {{garbage, 9, one, 10, 1, ExchangeStatus::Done},
                 {garbage, 10, one, 10, -1, ExchangeStatus::NotUnderstood},
                 {garbage, 0, miscounted, 1, 0, ExchangeStatus::Done},
                 {dropped, 2, one, 3, 1, ExchangeStatus::Done},
                 {silent, 1, one, 1, -1, ExchangeStatus::NoReply}};
    for (const auto& c : cases) {
        int sent = 0;
        const auto result = askWithRetry(pjl::Versions, "socket://x",
                                         [&](const std::string& request, const std::string& device, const ExchangeBounds&) {
                                             EXPECT_EQ(request + device, std::string(pjl::Versions.request) + "socket://x");
                                             return ++sent <= c.times ? c.fault : c.answer;
                                         });
        EXPECT_EQ(result.sends, c.sends) << c.times;
        EXPECT_EQ(sent, c.sends) << c.times;
        EXPECT_EQ(result.items ? int(result.items->size()) : -1, c.items) << c.times;
        EXPECT_EQ(result.outcome.status, c.status) << c.times;
    }
}
