#include "job/PackBits.h"

#include "JobWriter.h"

#include <gtest/gtest.h>

#include <limits>
#include <random>

using brelmont::job::unpackBits;
using brelmont::testing::ByteVector;

TEST(PackBits, Expansion) {
    struct Case { const char* what; ByteVector in; int64_t n; ByteVector out; int64_t made; };
    const Case cases[] = {
        {"literal", {2, 'a', 'b', 'c'}, 4, {'a', 'b', 'c'}, 3},
        {"repeat", {0xFD, 'x'}, 2, {'x', 'x', 'x', 'x'}, 4},
        {"128 is skipped", {128, 0, 'q'}, 3, {'q'}, 1},
        {"longest repeat", {0x81, 7}, 2, ByteVector(128, 7), 128},
        {"longest literal", [] { ByteVector v{127}; v.resize(129, 9); return v; }(), 129, ByteVector(128, 9), 128},
        {"cut literal makes what it has", {3, 'a', 'b'}, 3, {'a', 'b'}, 2},
        {"repeat with no byte makes nothing", {0xFE}, 1, {}, 0},
        {"n shorter than the data", {0, 'a', 0, 'b'}, 2, {'a'}, 1},
        {"bytes past the data read as 0xFF", {0, 'a'}, 6, {'a', 0xFF, 0xFF, 0xFF, 0xFF}, 5},
        {"literal running past the data", {2, 'a'}, 4, {'a', 0xFF, 0xFF}, 3},
    };
    for (const Case& c : cases) {
        ByteVector out(256 + brelmont::job::UnpackSlack, 0xAA);
        const int64_t made = unpackBits(out.data(), 256, c.in, c.n);
        EXPECT_EQ(made, c.made) << c.what;
        EXPECT_EQ(ByteVector(out.begin(), out.begin() + long(c.out.size())), c.out) << c.what;
    }
}

TEST(PackBits, WritesStayInsideTheCapacityButCountEverything) {
    const ByteVector in{0x81, 5, 0x81, 6, 0xFE, 7, 2, 1, 2, 3};
    ByteVector out(3 + brelmont::job::UnpackSlack + 8, 0);
    EXPECT_EQ(unpackBits(out.data(), 3, in, 10), 262);
    EXPECT_EQ(ByteVector(out.begin(), out.begin() + 3), (ByteVector{5, 5, 5}));
    EXPECT_EQ(ByteVector(out.begin() + 3 + brelmont::job::UnpackSlack, out.end()), ByteVector(8, 0));
    EXPECT_EQ(unpackBits(nullptr, 0, in, 10), 262);
}

TEST(PackBits, HugeLengthPastTheDataEndsAtOnce) {
    const ByteVector in{0, 'a'};
    const int64_t n = std::numeric_limits<int64_t>::max();
    EXPECT_EQ(unpackBits(nullptr, 0, in, n), 1 + (n - 2) / 2 * 2);
}

TEST(PackBits, RoundTripsTheWriter) {
    std::mt19937 random(7);
    for (int trial = 0; trial < 200; ++trial) {
        ByteVector row(size_t(random() % 700));
        for (auto& b : row) b = random() % 4 == 0 ? uint8_t(random()) : 0;
        const ByteVector packed = brelmont::testing::packBits(row);
        ByteVector out(row.size() + brelmont::job::UnpackSlack);
        EXPECT_EQ(unpackBits(out.data(), int64_t(row.size()), packed, int64_t(packed.size())), int64_t(row.size()));
        EXPECT_EQ(ByteVector(out.begin(), out.begin() + long(row.size())), row);
    }
}
