// How many replies a request asks for, and when they have all come.
#include "PjlReplyCount.h"

#include <gtest/gtest.h>

using namespace brelmont::pjlhelper;

TEST(PjlhelperExpectedReplyCount, QueriesAfterTheUniversalExitCount) {
    EXPECT_EQ(expectedReplyCount("\x1b%-12345X@PJL INFO STATUS\n"), 1u);
    EXPECT_EQ(expectedReplyCount("\x1b%-12345X@PJL INFO VARIABLES\n@PJL INFO VERSIONS\r\n"), 2u);
    EXPECT_EQ(expectedReplyCount("\x1b%-12345X@PJL USTATUS TIMED=1\n@PJL DINQUIRE NVPARMS\n"), 1u);
    EXPECT_EQ(expectedReplyCount("@PJL INQUIRE COPIES\n@pjl info id\n"), 1u);
}

TEST(PjlhelperExpectedReplyCount, SettingsAndDataAskForNothing) {
    EXPECT_EQ(expectedReplyCount(""), 0u);
    EXPECT_EQ(expectedReplyCount("\x1b%-12345X@PJL DEFAULT PAPER=A4\n@PJL SERVICE UPDATE\n"), 0u);
    EXPECT_EQ(expectedReplyCount("\x1b%-12345X\x1b%Pinkjet.clearnozzlecount 1;"), 0u);
    EXPECT_EQ(expectedReplyCount("@PJL INFORMATION\n@PJLINFO ID\n"), 0u);
}

TEST(PjlhelperReplyCounter, CountsFormFeedsAcrossChunks) {
    ReplyCounter counter;
    counter.add("@PJL INFO VARIABLES [1 ENTRIES]\r\nA=1\r");
    EXPECT_EQ(counter.finished(), 0u);
    counter.add("\n\f@PJL INFO VER");
    EXPECT_EQ(counter.finished(), 1u);
    counter.add("SIONS [1 ENTRIES]\r\nV=2\r\n\f");
    EXPECT_EQ(counter.finished(), 2u);
}

TEST(PjlhelperReplyCounter, UnsolicitedStatusDoesNotCount) {
    ReplyCounter counter;
    counter.add("@PJL USTATUS TIMED\r\nCODE=10001\r\n\f");
    EXPECT_EQ(counter.finished(), 0u);
    counter.add("\r\n@PJL INFO VARIABLES [1 ENTRIES]\r\nA=1\r\n\f");
    EXPECT_EQ(counter.finished(), 1u);
}
