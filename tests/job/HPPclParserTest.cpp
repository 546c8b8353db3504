#include "job/HPPclParser.h"

#include "JobWriter.h"
#include "Pcl3guiWriter.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <tuple>

using brelmont::job::HPPclParser;
using brelmont::job::PageData;
using brelmont::testing::bytesOf;
using brelmont::testing::ByteVector;
using brelmont::testing::JobWriter;
using brelmont::testing::Pcl3guiWriter;
using brelmont::testing::PixelForm;
using brelmont::testing::Rgb;

namespace {

// The set-up of a raster whose page is pageWidth x pageHeight, colour rows in mode 10.
JobWriter rasterSetUp(int64_t pageWidth, int64_t pageHeight) {
    JobWriter w;
    w.unit(600).rasterSize(2 * pageWidth, 2 * pageHeight).resolution(300);
    w.command('*', 'g', 12, 'W').bytes({6, 7, 0, 1, 2, 0x58, 2, 0x58, 10, 1, 32, 1});
    w.startRaster(1);
    return w;
}

Rgb pagePixel(const PageData& page, int64_t x, int64_t y) {
    const uint8_t* p = page.row(y) + 3 * x;
    return {p[0], p[1], p[2]};
}

// A transmitted image whose colours all code exactly (blue even), with repeats along and across rows.
std::vector<std::vector<Rgb>> testImage(int64_t width, int64_t height, unsigned seed) {
    std::mt19937 random(seed);
    const Rgb palette[] = {{0, 0, 0}, {250, 10, 20}, {12, 200, 40}, {255, 255, 254}, {128, 128, 128}};
    std::vector<std::vector<Rgb>> image(size_t(height), std::vector<Rgb>{size_t(width)});
    for (size_t y = 0; y < size_t(height); ++y)
        for (size_t x = 0; x < size_t(width); ++x) {
            const unsigned pick = random() % 4;
            Rgb& p = image[y][x];
            if (pick == 0) p = palette[random() % 5];
            else if (pick == 1) p = x ? image[y][x - 1] : palette[0];
            else if (pick == 2 && y) p = {uint8_t(image[y - 1][x].r + 3), image[y - 1][x].g, uint8_t(image[y - 1][x].b - 6)};
            else p = {uint8_t(random()), uint8_t(random()), uint8_t(random() & 0xFE)};
        }
    return image;
}

} // namespace

TEST(HPPclParser, TopLevelBytes) {
    const std::tuple<std::string, int64_t, int64_t> cases[] = {
        {"@PJL ENTER LANGUAGE=PCL3GUI\r\n", 0, 3},
        {"@PJL ENTER LANGUAGE=PCL3GUI\r\n\x1b%-12345X", 0, 0},
        {"@PJL ENTER LANGUAGE=PCL3GUI\r\n\x1b%12345X", -1, 3},
        {"\x1b%-12345", -1, 0},
        {std::string("\0\f\0", 3), 0, 0},
        {"\x01", -1, 0},
        {"A", -1, 0},
        {"\x1b", 0, 0},
        {"\x1bZ@PJL ENTER LANGUAGE=PCL3GUI\n", 0, 3},
    };
    for (const auto& [block, result, language] : cases) {
        const HPPclParser p(bytesOf(block));
        EXPECT_EQ(std::pair(p.m_result, p.m_language), std::pair(result, language)) << block;
    }
}

TEST(HPPclParser, RasterSettings) {
    // Lower-case letters chain commands; the resolution scales the size given in the unit.
    const HPPclParser chained(bytesOf("\x1b*r1s2t3A"));
    EXPECT_EQ((std::vector{chained.m_result, chained.m_paperWidth, chained.m_paperHeight, chained.m_rasterMode}),
              (std::vector<int64_t>{0, 1, 2, 3}));
    EXPECT_EQ(HPPclParser(JobWriter().unit(600).command('*', 'r', 4800, 'S').resolution(300).data()).m_paperWidth, 2400);
    EXPECT_EQ(HPPclParser(JobWriter().command('*', 'r', 4800, 'S').resolution(300).data()).m_paperWidth, 4800);

    // Configure raster data: the compression of the colour rows and whether a black plane comes first.
    const std::tuple<const char*, ByteVector, int64_t, bool> cases[] = {
        {"RGB, compression 10", {6, 7, 0, 1, 2, 0x58, 2, 0x58, 10, 1, 32, 1}, 10, false},
        {"black only, compression 9", {6, 7, 0, 1, 2, 0x58, 2, 0x58, 9, 1, 1, 1}, 9, false},
        {"black plane and colour", {6, 0x1F, 0, 2, 2, 0x58, 2, 0x58, 9, 1, 1, 1, 2, 0x58, 2, 0x58, 10, 1, 32, 1}, 10, true},
        {"a component count beyond the block",
         {6, 0x1F, 0, 9, 2, 0x58, 2, 0x58, 9, 1, 1, 1, 2, 0x58, 2, 0x58, 10, 1, 32, 1},
         10,
         true},
        {"not format 6", {5, 0x1F, 0, 2, 2, 0x58, 2, 0x58, 9, 1, 1, 1, 2, 0x58, 2, 0x58, 10, 1, 32, 1}, 0, false},
    };
    for (const auto& [what, block, compression, blackPlane] : cases) {
        const HPPclParser p(JobWriter().command('*', 'g', int64_t(block.size()), 'W').bytes(block).data());
        EXPECT_EQ(p.m_result, 0) << what;
        EXPECT_EQ(std::pair(p.m_compression, p.m_blackPlane), std::pair(compression, blackPlane)) << what;
    }
    EXPECT_EQ(HPPclParser(bytesOf("\x1b*g12W\x06\x07\x00\x01")).m_compression, -1);
}

TEST(HPPclParser, FaultsEndTheBlock) {
    const ByteVector raster = rasterSetUp(4, 4).data();
    const auto after = [&](const std::string& s) { return JobWriter().bytes(raster).text(s).data(); };
    const std::tuple<const char*, ByteVector, int64_t> cases[] = {
        {"negative pass-over", bytesOf("\x1b*o-6W\x1b*r7S"), -1},
        {"negative configuration pass-over", bytesOf("\x1b&b-1W\x1b*r7S"), -1},
        {"negative configure block", bytesOf("\x1b*g-2W\x1b*r7S"), -1},
        {"negative row length", after("\x1b*b-3W\x1b*r7S"), -1},
        {"negative plane length", after("\x1b*b-3V\x1b*r7S"), -1},
        {"row cut by the end of the data", after("\x1b*b10W\x80\x10\x20"), -1},
        {"row command cut inside its value", after("\x1b*b1"), -2},
        {"row command with no value", after("\x1b*b"), -2},
        {"unknown row letter", after("\x1b*b5Q\x1b*r7S"), -2},
        {"row whose command runs past its bytes", after("\x1b*b2W\x80\x10\x1b*r7S"), -1},
        {"overflowing value", bytesOf("\x1b*r99999999999999999999S\x1b*r7T"), -1},
        {"overflowing row skip", after("\x1b*b9223372036854775807Y\x1b*b1Y"), -1},
        {"unknown command elsewhere", bytesOf("\x1b&k5Q\x1b*r7S"), 0},
    };
    for (const auto& [what, block, result] : cases) {
        const HPPclParser p(block);
        EXPECT_EQ(p.m_result, result) << what;
        if (result < 0) { EXPECT_NE(p.m_paperWidth, 7) << what << ": decoding went on after the fault"; }
    }
}

// Every page pixel is the transmitted pixel at twice its coordinates; a black plane's dot paints
// over the colour of its row.
TEST(HPPclParser, RowsReachThePageAtHalfResolution) {
    const int64_t pageWidth = 37, pageHeight = 11, pixels = 2 * pageWidth;
    const std::tuple<const char*, Pcl3guiWriter::Planes, PixelForm> cases[] = {
        {"colour", Pcl3guiWriter::Planes::Colour, PixelForm::Best},
        {"colour, 3-byte pixels", Pcl3guiWriter::Planes::Colour, PixelForm::ThreeByteOnly},
        {"black and colour", Pcl3guiWriter::Planes::BlackAndColour, PixelForm::Best},
        {"black only", Pcl3guiWriter::Planes::BlackOnly, PixelForm::Best},
    };
    unsigned seed = 1;
    for (const auto& [what, planes, form] : cases) {
        const auto image = testImage(pixels, 2 * pageHeight, ++seed);
        std::mt19937 random(seed);
        std::vector<ByteVector> black;
        Pcl3guiWriter w(pageWidth, pageHeight, planes);
        for (int64_t y = 0; y < 2 * pageHeight; ++y) {
            if (planes != Pcl3guiWriter::Planes::Colour) {
                ByteVector bits(size_t((pixels + 7) / 8));
                for (auto& b : bits) b = uint8_t(random() & random());
                black.push_back(y == 4 ? black.back() : bits); // a row equal to its seed
                w.blackPlane(black.back());
            }
            if (planes != Pcl3guiWriter::Planes::BlackOnly) w.colourRow(image[size_t(y)].data(), form);
        }
        const HPPclParser p(w.finish());
        ASSERT_EQ(p.m_result, 0) << what;
        ASSERT_TRUE(p.m_page) << what;
        for (int64_t y = 0; y < pageHeight; ++y)
            for (int64_t x = 0; x < pageWidth; ++x) {
                const bool dot = !black.empty() && black[size_t(2 * y)][size_t(x / 4)] & (0x80 >> (2 * x % 8));
                const Rgb colour = planes == Pcl3guiWriter::Planes::BlackOnly ? Rgb{} : image[size_t(2 * y)][size_t(2 * x)];
                ASSERT_EQ(pagePixel(*p.m_page, x, y), (dot ? Rgb{0, 0, 0} : colour)) << what << " pixel " << x << "," << y;
            }
    }
}

TEST(HPPclParser, RowsAcrossThePage) {
    const std::vector<Rgb> grey(12, Rgb{128, 128, 128}), white(12);
    const ByteVector greyRow = brelmont::testing::encodeMode10Row(grey.data(), white.data(), 8);
    // Empty rows repeat their seed; a row skip, even of 0 rows, resets it.
    JobWriter seeds = rasterSetUp(4, 4);
    seeds.rawRow(greyRow, 'W').rawRow({}, 'W').rawRow({}, 'W').rawRow({}, 'W').skipRows(0).rawRow({}, 'W');
    const HPPclParser s(seeds.data());
    ASSERT_TRUE(s.m_page);
    EXPECT_EQ(pagePixel(*s.m_page, 3, 1), (Rgb{128, 128, 128}));
    EXPECT_EQ(pagePixel(*s.m_page, 3, 2), Rgb{});

    // Rows past the page are dropped, not written over its last row.
    JobWriter past = rasterSetUp(2, 1);
    for (const uint8_t shade : {10, 20, 30, 40}) {
        const std::vector<Rgb> row(4, Rgb{shade, shade, shade});
        past.rawRow(brelmont::testing::encodeMode10Row(row.data(), white.data(), 4), 'W');
    }
    const HPPclParser p(past.data());
    ASSERT_TRUE(p.m_page);
    EXPECT_EQ(pagePixel(*p.m_page, 1, 0), (Rgb{10, 10, 10}));

    // The rows of a page that cannot be made (far past the largest) are passed over, not read as commands.
    JobWriter huge = rasterSetUp(50000, 50000);
    huge.rawRow(bytesOf("AAAA"), 'W').rawRow(bytesOf("BB"), 'V').endRaster().rawRow(bytesOf("CC"), 'W');
    huge.rasterSize(6, 2).startRaster(1).rawRow(brelmont::testing::encodeMode10Row(grey.data(), white.data(), 12), 'W');
    const HPPclParser h(huge.data());
    EXPECT_EQ(h.m_result, 0);
    ASSERT_TRUE(h.m_page);
    EXPECT_EQ(pagePixel(*h.m_page, 5, 0), (Rgb{128, 128, 128}));
}

// Found by fuzzing: rasters of no pixels, whose rows must still be safe.
TEST(HPPclParser, RastersOfNoPixels) {
    const ByteVector rows = JobWriter().startRaster(1).text("\x1b*b1Y\x1b*b0V\x1b*b0W\x1b*b4W\x80\x01\x02\x03\x1b*b0W").data();
    const ByteVector configure =
        JobWriter().command('*', 'g', 12, 'W').bytes({6, 7, 0, 1, 2, 0x58, 2, 0x58, 10, 1, 32, 1}).data();
    // The last: a page of no height but of a width whose transmitted rows would need gigabytes.
    for (const char* setUp : {"\x1b&u600D\x1b*r24s8T\x1b*t0R", "\x1b*r0s4T", "\x1b*r411000000s0T"}) {
        const HPPclParser p(JobWriter().text(setUp).bytes(configure).bytes(rows).data());
        EXPECT_EQ(p.m_result, 0) << setUp;
        ASSERT_TRUE(p.m_page);
        EXPECT_EQ(p.m_page->m_size, 0);
    }
}
