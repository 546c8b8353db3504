#include "job/Pcl3guiRows.h"

#include "JobWriter.h"

#include <gtest/gtest.h>

#include <tuple>
#include <vector>

using brelmont::job::decodeMode10Row;
using brelmont::job::decodeMode9Row;
using brelmont::testing::ByteVector;

namespace {

struct Px {
    uint8_t r, g, b;
};

constexpr Px W{0xFF, 0xFF, 0xFF};
constexpr Px C{0x20, 0x40, 0x60}; // the 3-byte pixel 10 20 30
constexpr Px K{0, 0, 0};          // the 3-byte pixel 00 00 00
constexpr Px S{0x01, 0x02, 0x04}; // a seed colour
constexpr Px N{0x11, 0x22, 0x34};

ByteVector bytesOf(const std::vector<Px>& pixels) {
    ByteVector bytes;
    for (const Px& p : pixels) bytes.insert(bytes.end(), {p.r, p.g, p.b});
    return bytes;
}

} // namespace

// Each row decodes to its pixels (result 0), or is cut short (-2).
TEST(Mode10Rows, Commands) {
    const std::vector<Px> white6(6, W), white12(12, W), seed6(6, S);
    // A literal of 10 pixels: C, then 7 black, the extension byte 2, then 2 black.
    ByteVector longLiteral10{0x07, 0x10, 0x20, 0x30};
    longLiteral10.insert(longLiteral10.end(), 7 * 3, 0);
    const ByteVector noExtension = longLiteral10;
    longLiteral10.push_back(2);
    longLiteral10.insert(longLiteral10.end(), 2 * 3, 0);
    const std::tuple<const char*, std::vector<Px>, ByteVector, std::vector<Px>, int64_t> cases[] = {
        {"delta pixel wraps modulo 256 and doubles blue on its cleared lowest bit",
         {{0x05, 0xFF, 0x11}, W, W},
         {0x80, 0xC0, 0x3F},
         {{0xF5, 0x00, 0x0E}, {0xF5, 0x00, 0x0E}, W},
         0},
        {"literal of a 3-byte and a 2-byte pixel",
         white6,
         {0x01, 0x10, 0x20, 0x30, 0x80, 0x00},
         {C, {0xFF, 0xFF, 0xFE}, W, W, W, W},
         0},
        {"west source", white6, {0x80, 0x10, 0x20, 0x30, 0xA0}, {C, C, C, C, W, W}, 0},
        {"north-east source reads the seed row", {W, W, N, W}, {0xC8}, {W, N, N, W}, 0},
        {"cached source after an offset", white6, {0x80, 0x10, 0x20, 0x30, 0xE8}, {C, C, W, C, C, W}, 0},
        {"the cache starts white", seed6, {0xE0}, {W, W, S, S, S, S}, 0},
        {"offset extension comes before the new pixel", white6, {0x98, 0x01, 0x10, 0x20, 0x30}, {W, W, W, W, C, C}, 0},
        {"run count extension comes after the new pixel", white12, {0x87, 0x10, 0x20, 0x30, 0x03}, std::vector<Px>(12, C), 0},
        {"literal count extension follows the 8th pixel", white12, longLiteral10, {C, K, K, K, K, K, K, K, K, K, W, W}, 0},
        {"literal taking its first pixel from the cache", white6, {0x80, 0x10, 0x20, 0x30, 0x61, 0, 0, 0}, {C, C, C, K, W, W}, 0},
        {"west at the row start reads white", seed6, {0xA0}, {W, W, S, S, S, S}, 0},
        {"north-east past the row end reads white", {S, S}, {0xC8}, {S, W}, 0},
        {"writes past the row end are dropped", {W, W, W}, {0x87, 0x10, 0x20, 0x30, 0x20}, {C, C, C}, 0},
        {"pixels after the last command keep the seed", seed6, {0x80, 0x10, 0x20, 0x30}, {C, C, S, S, S, S}, 0},
        {"pixel cut", white12, {0x80, 0x10}, {}, -2},
        {"offset extension missing", white12, {0x98}, {}, -2},
        {"literal count extension missing", white12, noExtension, {}, -2},
    };
    for (const auto& [what, seed, data, expected, result] : cases) {
        ByteVector row = bytesOf(seed);
        bool changed = false;
        EXPECT_EQ(decodeMode10Row(data, row.data(), int64_t(seed.size()), changed), result) << what;
        if (result == 0) { EXPECT_EQ(row, bytesOf(expected)) << what; }
    }
}

// (The count and offset extensions of mode 9 come through the real driver's black rows and the PDF
// ink pages.)
TEST(Mode9Rows, Commands) {
    const ByteVector zero4(4, 0);
    // clang-format off
    const std::tuple<const char*, ByteVector, ByteVector, ByteVector, int64_t> cases[] = {
        {"run", zero4, {0x80, 0xAA}, {0xAA, 0xAA, 0, 0}, 0},
        {"literal after an offset keeps the seed", {1, 2, 3, 4}, {0x08, 0x33}, {1, 0x33, 3, 4}, 0},
        {"run offset extension, writes past the end dropped", zero4, {0xE0, 0x00, 0x44}, {0, 0, 0, 0x44}, 0},
        {"run byte missing", zero4, {0x80}, {}, -2}, {"literal cut", zero4, {0x02, 0x11}, {}, -2},
        {"run offset extension missing", zero4, {0xFF}, {}, -2}, {"literal offset extension missing", zero4, {0x7F}, {}, -2},
    };
    // clang-format on
    for (const auto& [what, seed, data, expected, result] : cases) {
        ByteVector row = seed;
        EXPECT_EQ(decodeMode9Row(data, row.data(), int64_t(row.size())), result) << what;
        if (result == 0) { EXPECT_EQ(row, expected) << what; }
    }
}
