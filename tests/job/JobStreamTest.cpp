#include "job/JobStream.h"

#include <gtest/gtest.h>

#include <string>

using brelmont::job::Bytes;
using brelmont::job::JobStream;

namespace {

JobStream streamOf(const std::string& s) {
    return JobStream(Bytes(reinterpret_cast<const uint8_t*>(s.data()), s.size()));
}

} // namespace

TEST(JobStream, ValueSyntax) {
    struct Case { std::string text; int64_t value; int terminator; bool overflow; };
    const Case cases[] = {
        {"-12345X", -12345, 'X', false},
        {"12-3a", -123, 'a', false},       // the sign may stand among the digits
        {"--7W", 7, 'W', false},           // and toggles
        {"1.5W", 1, '.', false},           // no decimal point
        {"42", 42, JobStream::Missing, false},
        {"9223372036854775807A", INT64_MAX, 'A', false},
        {"9223372036854775808A", 0, 'A', true},
        {"-9223372036854775808A", 0, 'A', true}, // found by fuzzing: the wrapped value was negated
        {"99999999999999999999999999A", 0, 'A', true},
    };
    for (const Case& c : cases) {
        std::string text = c.text;
        JobStream in = streamOf(text);
        const JobStream::Value v = in.readValue();
        EXPECT_EQ(v.overflow, c.overflow) << c.text;
        if (!c.overflow) {
            EXPECT_EQ(v.value, c.value) << c.text;
        }
        EXPECT_EQ(v.terminator, c.terminator) << c.text;
    }
}

TEST(JobStream, LinesEndAtLineFeedOrFormFeedAndDropCarriageReturns) {
    const std::string text = "@PJL A\r\n@PJL B\fC";
    JobStream in = streamOf(text);
    EXPECT_EQ(in.readLine(), "@PJL A\n");
    EXPECT_EQ(in.readLine(), "@PJL B\f");
    EXPECT_EQ(in.readLine(), "C");
    EXPECT_TRUE(in.atEnd());
}

TEST(JobStream, TakeClipsAtTheEndAndMovesPastAll) {
    const std::string text = "abcdef";
    JobStream in = streamOf(text);
    EXPECT_EQ(in.take(2).size(), 2u);
    EXPECT_EQ(in.take(100).size(), 4u);
    EXPECT_TRUE(in.atEnd());
    EXPECT_EQ(in.take(-5).size(), 0u);
}
