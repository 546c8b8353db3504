// Rows printed by a real PCL3GUI inkjet driver (Debian's hpcups filter, run on images we make),
// re-framed with this program's set-up, must decode to the driver's input sampled at half
// resolution.
#include "job/HPPclParser.h"

#include "JobWriter.h"
#include "ScratchDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string_view>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;
using brelmont::job::HPPclParser;
using brelmont::testing::ByteVector;
using brelmont::testing::JobWriter;

namespace {

constexpr int SkipStatus = 77; // the driver or its tools are not installed

struct Image {
    int64_t width, height;
    ByteVector rgb;
    uint8_t* at(int64_t x, int64_t y) const { return const_cast<uint8_t*>(rgb.data()) + 3 * (y * width + x); }
};

// Colour patches, gradients that make delta pixels, noise that makes literal pixels, white bands
// that make row skips and offsets, and rows repeated from the row above.
Image colourImage(int64_t width, int64_t height) {
    Image img{width, height, ByteVector(size_t(3 * width * height), 0xFF)};
    std::mt19937 random(11);
    for (int64_t y = 0; y < height; ++y) {
        if (y % 50 >= 44) continue; // white band
        if (y % 7 == 3) {           // same as the row above
            std::copy(img.at(0, y - 1), img.at(0, y), img.at(0, y));
            continue;
        }
        for (int64_t x = 0; x < width; ++x) {
            uint8_t* p = img.at(x, y);
            const int64_t zone = x * 4 / width;
            if (zone == 0) p[0] = uint8_t(40 * (y / 20)), p[1] = 200, p[2] = 30;
            else if (zone == 1) p[0] = uint8_t(x), p[1] = uint8_t(y), p[2] = uint8_t(x + y);
            else if (zone == 2) p[0] = uint8_t(random()), p[1] = uint8_t(random()), p[2] = uint8_t(random());
        }
    }
    return img;
}

// Black shapes on white (bars, stripes and speckles), with white bands.
Image blackImage(int64_t width, int64_t height) {
    Image img{width, height, ByteVector(size_t(3 * width * height), 0xFF)};
    std::mt19937 random(5);
    for (int64_t y = 0; y < height; ++y)
        for (int64_t x = 0; x < width; ++x)
            if (y % 60 < 50 && ((y % 40 < 12 && (x / 13) % 4 != 3) || x % 97 < 3 || (y > height / 2 && random() % 9 == 0)))
                std::fill(img.at(x, y), img.at(x, y) + 3, 0);
    return img;
}

size_t find(const ByteVector& s, std::string_view what, size_t from = 0) {
    return size_t(std::search(s.begin() + long(from), s.end(), what.begin(), what.end()) - s.begin());
}

// The driver's configure block and its row commands, behind this program's set-up.
ByteVector reframe(const ByteVector& stream, int64_t width, int64_t height) {
    const size_t configure = find(stream, "\x1b*g20W"), start = find(stream, "\x1b*r1A"), end = find(stream, "\x1b*rC", start);
    EXPECT_LT(end, stream.size());
    JobWriter block;
    block.pjl("@PJL ENTER LANGUAGE=PCL3GUI").unit(600).rasterSize(width, height).resolution(300);
    block.bytes(ByteVector(stream.begin() + long(configure), stream.begin() + long(configure + 6 + 20)));
    block.startRaster(1);
    // Keep only the row commands ESC * b # V/W/Y with their data.
    for (size_t i = start + 5, next; i < end; i = next) {
        EXPECT_EQ(stream[i], 27) << "at " << i;
        size_t j = i + 3;
        int64_t n = 0;
        while (std::isdigit(stream[j])) n = n * 10 + (stream[j++] - '0');
        next = j + 1 + (stream[j] == 'V' || stream[j] == 'W' ? size_t(n) : 0);
        if (stream[i + 2] == 'b') block.bytes(ByteVector(stream.begin() + long(i), stream.begin() + long(next)));
    }
    block.endRaster().universalExit();
    return block.data();
}

// Page pixels that differ from the image at every second pixel of every second row. A pixel in
// the data carries blue without its lowest bit, so blue may differ by one.
int64_t mismatches(const brelmont::job::PageData& page, const Image& img) {
    int64_t count = 0;
    for (int64_t y = 0; y < page.m_height; ++y)
        for (int64_t x = 0; x < page.m_width; ++x) {
            const uint8_t *got = page.row(y) + 3 * x, *want = img.at(2 * x, 2 * y);
            count += !(got[0] == want[0] && got[1] == want[1] && std::abs(got[2] - want[2]) <= 1);
        }
    return count;
}

} // namespace

// The driver sends colour rows in mode 10, and black shapes on its one-bit black plane in mode 9.
TEST(RealDriverRows, DecodeToTheDriversInput) {
    const brelmont::testing::ScratchDir scratch{"hpcups"};
    const fs::path& dir = scratch.path();
    for (const auto& [mode, img] : {std::pair{"color", colourImage(1202, 300)}, {"black", blackImage(1000, 240)}}) {
        SCOPED_TRACE(mode);
        std::ofstream(dir / "in.ppm", std::ios::binary) << "P6\n"
                                                        << img.width << ' ' << img.height << "\n255\n"
                                                        << std::string(img.rgb.begin(), img.rgb.end());
        const std::string command =
            std::string(BRELMONT_HPCUPS_SCRIPT) + " " + (dir / "in.ppm").string() + " " + (dir / "out.pcl").string() + " " + mode;
        const int status = std::system(command.c_str());
        if (WIFEXITED(status) && WEXITSTATUS(status) == SkipStatus) GTEST_SKIP() << "the hpcups driver is not installed";
        ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << command;
        std::ifstream pcl(dir / "out.pcl", std::ios::binary);
        const HPPclParser p(reframe(ByteVector(std::istreambuf_iterator<char>(pcl), {}), img.width, img.height));
        ASSERT_EQ(p.m_result, 0);
        ASSERT_TRUE(p.m_page && p.m_page->m_width == img.width / 2 && p.m_page->m_height == img.height / 2);
        EXPECT_EQ(mismatches(*p.m_page, img), 0);
    }
}
