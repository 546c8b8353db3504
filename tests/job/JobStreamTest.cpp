#include "job/JobStream.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>

using brelmont::job::Bytes;
using brelmont::job::JobStream;

namespace {

JobStream streamOf(const std::string& s) { return JobStream(Bytes(reinterpret_cast<const uint8_t*>(s.data()), s.size())); }

} // namespace

TEST(JobStream, ValueSyntax) {
    // Text, value (0 on overflow), terminator.
    // clang-format off
    const std::tuple<std::string, int64_t, int> cases[] = {
        {"-12345X", -12345, 'X'},
        {"1.5W", 1, '.'},     // no decimal point
        {"42", 42, JobStream::Missing}, {"9223372036854775807A", INT64_MAX, 'A'}, {"9223372036854775808A", 0, 'A'},
        {"-9223372036854775808A", 0, 'A'}, // found by fuzzing: the wrapped value was negated
    };
    // clang-format on
    for (const auto& [text, value, terminator] : cases) {
        JobStream in = streamOf(text);
        const JobStream::Value v = in.readValue();
        EXPECT_EQ(v.overflow, value == 0) << text;
        if (value) { EXPECT_EQ(v.value, value) << text; }
        EXPECT_EQ(v.terminator, terminator) << text;
    }
}
