#include "job/Pcl3guiRows.h"

#include "JobWriter.h"

#include <gtest/gtest.h>

#include <vector>

using brelmont::job::decodeMode10Row;
using brelmont::job::decodeMode9Row;
using brelmont::testing::ByteVector;

namespace {

struct Px {
    uint8_t r, g, b;
    bool operator==(const Px&) const = default;
};
std::ostream& operator<<(std::ostream& o, const Px& p) { return o << '(' << int(p.r) << ',' << int(p.g) << ',' << int(p.b) << ')'; }

constexpr Px W{0xFF, 0xFF, 0xFF};
constexpr Px C{0x20, 0x40, 0x60}; // the 3-byte pixel 10 20 30
constexpr Px K{0, 0, 0};          // the 3-byte pixel 00 00 00
constexpr Px S{0x01, 0x02, 0x04}; // a seed colour
constexpr Px N{0x11, 0x22, 0x34};

std::vector<Px> decode10(const std::vector<Px>& seed, const ByteVector& data, int64_t& result) {
    ByteVector row;
    for (const Px& p : seed) row.insert(row.end(), {p.r, p.g, p.b});
    bool changed = false;
    result = decodeMode10Row(data, row.data(), int64_t(seed.size()), changed);
    std::vector<Px> out;
    for (size_t i = 0; i < seed.size(); ++i) out.push_back({row[3 * i], row[3 * i + 1], row[3 * i + 2]});
    return out;
}

} // namespace

TEST(Mode10Rows, Commands) {
    struct Case { const char* what; std::vector<Px> seed; ByteVector data; std::vector<Px> expected; };
    const std::vector<Px> white6(6, W), seed6(6, S);
    // A literal of 10 pixels: C, then 7 black, the extension byte 2, then 2 black.
    ByteVector longLiteral10{0x07, 0x10, 0x20, 0x30};
    longLiteral10.insert(longLiteral10.end(), 7 * 3, 0);
    longLiteral10.push_back(2);
    longLiteral10.insert(longLiteral10.end(), 2 * 3, 0);
    const Case cases[] = {
        {"new pixel run", white6, {0x80, 0x10, 0x20, 0x30}, {C, C, W, W, W, W}},
        {"delta pixel wraps modulo 256 and doubles blue on its cleared lowest bit",
         {{0x05, 0xFF, 0x11}, W, W}, {0x80, 0xC0, 0x3F}, {{0xF5, 0x00, 0x0E}, {0xF5, 0x00, 0x0E}, W}},
        {"literal of a 3-byte and a 2-byte pixel", white6, {0x01, 0x10, 0x20, 0x30, 0x80, 0x00}, {C, {0xFF, 0xFF, 0xFE}, W, W, W, W}},
        {"west source", white6, {0x80, 0x10, 0x20, 0x30, 0xA0}, {C, C, C, C, W, W}},
        {"north-east source reads the seed row", {W, W, N, W}, {0xC8}, {W, N, N, W}},
        {"cached source after an offset", white6, {0x80, 0x10, 0x20, 0x30, 0xE8}, {C, C, W, C, C, W}},
        {"the cache starts white", seed6, {0xE0}, {W, W, S, S, S, S}},
        {"offset extension comes before the new pixel", white6, {0x98, 0x01, 0x10, 0x20, 0x30}, {W, W, W, W, C, C}},
        {"run count extension comes after the new pixel", std::vector<Px>(12, W), {0x87, 0x10, 0x20, 0x30, 0x03},
         std::vector<Px>(12, C)},
        {"literal count extension follows the 8th pixel", std::vector<Px>(12, W), longLiteral10, {C, K, K, K, K, K, K, K, K, K, W, W}},
        {"literal taking its first pixel from the cache", white6, {0x80, 0x10, 0x20, 0x30, 0x61, 0, 0, 0}, {C, C, C, K, W, W}},
        {"west at the row start reads white", seed6, {0xA0}, {W, W, S, S, S, S}},
        {"north-east past the row end reads white", {S, S}, {0xC8}, {S, W}},
        {"writes past the row end are dropped", {W, W, W}, {0x87, 0x10, 0x20, 0x30, 0x20}, {C, C, C}},
        {"pixels after the last command keep the seed", seed6, {0x80, 0x10, 0x20, 0x30}, {C, C, S, S, S, S}},
        {"an empty row equals its seed", seed6, {}, seed6},
    };
    for (const Case& c : cases) {
        int64_t result = 1;
        EXPECT_EQ(decode10(c.seed, c.data, result), c.expected) << c.what;
        EXPECT_EQ(result, 0) << c.what;
    }
}

TEST(Mode10Rows, CutCommandsAreRejected) {
    ByteVector literalWithoutExtension{0x07, 0x10, 0x20, 0x30};
    literalWithoutExtension.insert(literalWithoutExtension.end(), 7 * 3, 0);
    const ByteVector cases[] = {
        {0x80, 0x10},                  // pixel cut
        {0x98},                        // offset extension missing
        {0x87, 0x10, 0x20, 0x30},      // count extension missing
        {0x01, 0x10, 0x20, 0x30},      // second literal pixel missing
        literalWithoutExtension,
    };
    for (const ByteVector& data : cases) {
        int64_t result = 0;
        decode10(std::vector<Px>(12, W), data, result);
        EXPECT_EQ(result, -2) << ::testing::PrintToString(data);
    }
}

TEST(Mode9Rows, Commands) {
    struct Case { const char* what; ByteVector seed; ByteVector data; ByteVector expected; };
    const ByteVector zero4(4, 0);
    ByteVector longLiteral{0x7F, 0x00, 0x01};
    for (int i = 1; i <= 9; ++i) longLiteral.push_back(uint8_t(i));
    ByteVector longLiteralRow(30, 0);
    for (int i = 0; i < 9; ++i) longLiteralRow[size_t(15 + i)] = uint8_t(i + 1);
    ByteVector longRun(40, 0);
    std::fill(longRun.begin(), longRun.begin() + 35, 0x55);
    const Case cases[] = {
        {"run", zero4, {0x80, 0xAA}, {0xAA, 0xAA, 0, 0}},
        {"literal", zero4, {0x01, 0x11, 0x22}, {0x11, 0x22, 0, 0}},
        {"literal after an offset keeps the seed", {1, 2, 3, 4}, {0x08, 0x33}, {1, 0x33, 3, 4}},
        {"run offset extension, writes past the end dropped", zero4, {0xE0, 0x00, 0x44}, {0, 0, 0, 0x44}},
        {"run count extension", ByteVector(40, 0), {0x9F, 0x02, 0x55}, longRun},
        {"literal offset and count extensions", ByteVector(30, 0), longLiteral, longLiteralRow},
        {"an empty row equals its seed", {9, 8, 7, 6}, {}, {9, 8, 7, 6}},
    };
    for (const Case& c : cases) {
        ByteVector row = c.seed;
        EXPECT_EQ(decodeMode9Row(c.data, row.data(), int64_t(row.size())), 0) << c.what;
        EXPECT_EQ(row, c.expected) << c.what;
    }
    for (const ByteVector& cut : {ByteVector{0x80}, ByteVector{0x02, 0x11}, ByteVector{0xFF}, ByteVector{0x7F}}) {
        ByteVector row(8, 0);
        EXPECT_EQ(decodeMode9Row(cut, row.data(), 8), -2) << ::testing::PrintToString(cut);
    }
}
