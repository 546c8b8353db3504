#include "job/PackBits.h"

#include <gtest/gtest.h>

#include <limits>
#include <tuple>
#include <vector>

using brelmont::job::unpackBits;
using ByteVector = std::vector<uint8_t>;

TEST(PackBits, Expansion) {
    ByteVector longest{127};
    longest.resize(129, 9);
    // clang-format off
    const std::tuple<const char*, ByteVector, int64_t, ByteVector> cases[] = {
        {"literal", {2, 'a', 'b', 'c'}, 4, {'a', 'b', 'c'}}, {"repeat", {0xFD, 'x'}, 2, {'x', 'x', 'x', 'x'}},
        {"128 is skipped", {128, 0, 'q'}, 3, {'q'}}, {"longest repeat", {0x81, 7}, 2, ByteVector(128, 7)},
        {"longest literal", longest, 129, ByteVector(128, 9)}, {"cut literal makes what it has", {3, 'a', 'b'}, 3, {'a', 'b'}},
        {"repeat with no byte makes nothing", {0xFE}, 1, {}}, {"n shorter than the data", {0, 'a', 0, 'b'}, 2, {'a'}},
        {"bytes past the data read as 0xFF", {0, 'a'}, 6, {'a', 0xFF, 0xFF, 0xFF, 0xFF}},
        {"literal running past the data", {2, 'a'}, 4, {'a', 0xFF, 0xFF}},
    };
    // clang-format on
    for (const auto& [what, in, n, expected] : cases) {
        ByteVector out(256 + brelmont::job::UnpackSlack, 0xAA);
        EXPECT_EQ(unpackBits(out.data(), 256, in, n), int64_t(expected.size())) << what;
        EXPECT_EQ(ByteVector(out.begin(), out.begin() + long(expected.size())), expected) << what;
    }
}

// Writes stay inside the capacity (and its slack) but every byte the data makes is counted.
TEST(PackBits, WritesStayInsideTheCapacity) {
    const ByteVector in{0x81, 5, 0x81, 6, 0xFE, 7, 2, 1, 2, 3};
    ByteVector out(3 + brelmont::job::UnpackSlack + 8, 0);
    EXPECT_EQ(unpackBits(out.data(), 3, in, 10), 262);
    EXPECT_EQ(ByteVector(out.begin(), out.begin() + 3), (ByteVector{5, 5, 5}));
    EXPECT_EQ(ByteVector(out.begin() + 3 + brelmont::job::UnpackSlack, out.end()), ByteVector(8, 0));
    EXPECT_EQ(unpackBits(nullptr, 0, in, 10), 262);
    const int64_t huge = std::numeric_limits<int64_t>::max(); // ends at once past the data
    EXPECT_EQ(unpackBits(nullptr, 0, ByteVector{0, 'a'}, huge), 1 + (huge - 2) / 2 * 2);
}
