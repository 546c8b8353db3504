#include "job/HPPclParser.h"

#include "JobWriter.h"
#include "Pcl3guiWriter.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

using brelmont::job::HPPclParser;
using brelmont::job::PageData;
using brelmont::testing::ByteVector;
using brelmont::testing::bytesOf;
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
    const Rgb palette[] = {{0, 0, 0}, {250, 10, 20}, {12, 200, 40}, {30, 60, 254}, {255, 255, 254}, {128, 128, 128}};
    std::vector<std::vector<Rgb>> image(static_cast<size_t>(height), std::vector<Rgb>(static_cast<size_t>(width)));
    for (int64_t y = 0; y < height; ++y)
        for (int64_t x = 0; x < width; ++x) {
            Rgb& p = image[size_t(y)][size_t(x)];
            switch (random() % 5) {
            case 0: p = palette[random() % 6]; break;
            case 1: p = x ? image[size_t(y)][size_t(x - 1)] : palette[0]; break;
            case 2: p = y ? image[size_t(y - 1)][size_t(x)] : palette[1]; break;
            case 3: p = y ? image[size_t(y - 1)][size_t(x)] : palette[2]; p.r = uint8_t(p.r + 3); p.b = uint8_t(p.b - 6); break;
            default: p = {uint8_t(random()), uint8_t(random()), uint8_t(random() & 0xFE)}; break;
            }
        }
    return image;
}

} // namespace

TEST(HPPclParser, TopLevelBytes) {
    struct Case { std::string block; int64_t result; int64_t language; };
    const Case cases[] = {
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
    for (const Case& c : cases) {
        const HPPclParser p(bytesOf(c.block));
        EXPECT_EQ(p.m_result, c.result) << c.block;
        EXPECT_EQ(p.m_language, c.language) << c.block;
    }
}

TEST(HPPclParser, LowerCaseLettersChainCommands) {
    const HPPclParser p(bytesOf("\x1b*r1s2t3A"));
    EXPECT_EQ(p.m_result, 0);
    EXPECT_EQ(p.m_paperWidth, 1);
    EXPECT_EQ(p.m_paperHeight, 2);
    EXPECT_EQ(p.m_rasterMode, 3);
    ASSERT_TRUE(p.m_page);
    EXPECT_EQ(p.m_page->m_kind, 4);
    EXPECT_EQ(p.m_page->m_width, 1);
}

TEST(HPPclParser, ResolutionScalesTheRaster) {
    const HPPclParser scaled(JobWriter().unit(600).command('*', 'r', 4800, 'S').resolution(300).data());
    EXPECT_EQ(scaled.m_paperWidth, 2400);
    EXPECT_EQ(scaled.m_dpi, 300);
    const HPPclParser noUnit(JobWriter().command('*', 'r', 4800, 'S').resolution(300).data());
    EXPECT_EQ(noUnit.m_result, 0);
    EXPECT_EQ(noUnit.m_paperWidth, 4800);
    EXPECT_EQ(noUnit.m_dpi, 300);
}

TEST(HPPclParser, ConfigureRasterData) {
    struct Case { const char* what; ByteVector block; int64_t compression; bool blackPlane; };
    const Case cases[] = {
        {"RGB, compression 10", {6, 7, 0, 1, 2, 0x58, 2, 0x58, 10, 1, 32, 1}, 10, false},
        {"black only, compression 9", {6, 7, 0, 1, 2, 0x58, 2, 0x58, 9, 1, 1, 1}, 9, false},
        {"black plane and colour", {6, 0x1F, 0, 2, 2, 0x58, 2, 0x58, 9, 1, 1, 1, 2, 0x58, 2, 0x58, 10, 1, 32, 1}, 10, true},
        {"a component count beyond the block", {6, 0x1F, 0, 9, 2, 0x58, 2, 0x58, 9, 1, 1, 1, 2, 0x58, 2, 0x58, 10, 1, 32, 1}, 10, true},
        {"not format 6", {5, 0x1F, 0, 2, 2, 0x58, 2, 0x58, 9, 1, 1, 1, 2, 0x58, 2, 0x58, 10, 1, 32, 1}, 0, false},
    };
    for (const Case& c : cases) {
        const HPPclParser p(JobWriter().command('*', 'g', int64_t(c.block.size()), 'W').bytes(c.block).data());
        EXPECT_EQ(p.m_result, 0) << c.what;
        EXPECT_EQ(p.m_compression, c.compression) << c.what;
        EXPECT_EQ(p.m_blackPlane, c.blackPlane) << c.what;
    }
    const HPPclParser cut(bytesOf("\x1b*g12W\x06\x07\x00\x01"));
    EXPECT_EQ(cut.m_compression, -1);
}

TEST(HPPclParser, FaultsEndTheBlock) {
    struct Case { const char* what; ByteVector block; int64_t result; };
    const ByteVector raster = rasterSetUp(4, 4).data();
    const auto after = [&](const std::string& s) {
        ByteVector b = raster;
        b.insert(b.end(), s.begin(), s.end());
        return b;
    };
    const Case cases[] = {
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
    for (const Case& c : cases) {
        const HPPclParser p(c.block);
        EXPECT_EQ(p.m_result, c.result) << c.what;
        if (c.result < 0) {
            EXPECT_NE(p.m_paperWidth, 7) << c.what << ": decoding went on after the fault";
        }
    }
}

TEST(HPPclParser, RowsReachThePageAtHalfResolution) {
    for (const PixelForm form : {PixelForm::Best, PixelForm::ThreeByteOnly}) {
        const int64_t pageWidth = 37, pageHeight = 11;
        const auto image = testImage(2 * pageWidth, 2 * pageHeight, form == PixelForm::Best ? 1 : 2);
        Pcl3guiWriter w(pageWidth, pageHeight, Pcl3guiWriter::Planes::Colour);
        for (const auto& row : image) w.colourRow(row.data(), form);
        const HPPclParser p(w.finish());
        ASSERT_EQ(p.m_result, 0);
        ASSERT_TRUE(p.m_page);
        for (int64_t y = 0; y < pageHeight; ++y)
            for (int64_t x = 0; x < pageWidth; ++x)
                ASSERT_EQ(pagePixel(*p.m_page, x, y), image[size_t(2 * y)][size_t(2 * x)]) << "page pixel " << x << "," << y;
    }
}

TEST(HPPclParser, BlackPlanesPaintOverTheColourOfTheirRow) {
    const int64_t pageWidth = 20, pageHeight = 6, pixels = 2 * pageWidth;
    for (const auto planes : {Pcl3guiWriter::Planes::BlackAndColour, Pcl3guiWriter::Planes::BlackOnly}) {
        const bool colour = planes == Pcl3guiWriter::Planes::BlackAndColour;
        const auto image = testImage(pixels, 2 * pageHeight, 3);
        std::mt19937 random(4);
        std::vector<ByteVector> black;
        Pcl3guiWriter w(pageWidth, pageHeight, planes);
        for (int64_t y = 0; y < 2 * pageHeight; ++y) {
            ByteVector bits(size_t((pixels + 7) / 8));
            for (auto& b : bits) b = uint8_t(random() & random());
            if (y == 4) bits = black.back(); // a row equal to its seed
            black.push_back(bits);
            w.blackPlane(bits);
            if (colour) w.colourRow(image[size_t(y)].data());
        }
        const HPPclParser p(w.finish());
        ASSERT_EQ(p.m_result, 0);
        ASSERT_TRUE(p.m_page);
        for (int64_t y = 0; y < pageHeight; ++y)
            for (int64_t x = 0; x < pageWidth; ++x) {
                const int64_t tx = 2 * x;
                const bool dot = black[size_t(2 * y)][size_t(tx / 8)] & (0x80 >> (tx % 8));
                const Rgb expected = dot ? Rgb{0, 0, 0} : colour ? image[size_t(2 * y)][size_t(tx)] : Rgb{};
                ASSERT_EQ(pagePixel(*p.m_page, x, y), expected) << (colour ? "colour" : "black only") << " pixel " << x << "," << y;
            }
    }
}

TEST(HPPclParser, SeedRowsResetAtRowSkipsAndEmptyRowsRepeatThem) {
    const int64_t pageWidth = 4, pixels = 8;
    const std::vector<Rgb> grey(pixels, Rgb{128, 128, 128});
    JobWriter job = rasterSetUp(pageWidth, 4);
    job.rawRow(brelmont::testing::encodeMode10Row(grey.data(), std::vector<Rgb>(pixels).data(), pixels), 'W') // row 0: grey
        .rawRow({}, 'W')                                                                                   // row 1: as row 0
        .rawRow({}, 'W')                                                                                   // row 2: still grey
        .rawRow({}, 'W')                                                                                   // row 3
        .skipRows(0)                                                                                       // row 4: reset
        .rawRow({}, 'W');                                                                                  // row 4: white
    const HPPclParser p(job.data());
    ASSERT_EQ(p.m_result, 0);
    ASSERT_TRUE(p.m_page);
    EXPECT_EQ(pagePixel(*p.m_page, 3, 0), (Rgb{128, 128, 128}));
    EXPECT_EQ(pagePixel(*p.m_page, 3, 1), (Rgb{128, 128, 128}));
    EXPECT_EQ(pagePixel(*p.m_page, 3, 2), Rgb{});
}

TEST(HPPclParser, RowsPastThePageAreDroppedNotClamped) {
    const int64_t pageWidth = 2, pixels = 4;
    JobWriter job = rasterSetUp(pageWidth, 1);
    const std::vector<Rgb> white(pixels);
    for (const uint8_t shade : {10, 20, 30, 40}) {
        const std::vector<Rgb> row(pixels, Rgb{shade, shade, shade});
        job.rawRow(brelmont::testing::encodeMode10Row(row.data(), white.data(), pixels), 'W');
    }
    const HPPclParser p(job.data());
    ASSERT_EQ(p.m_result, 0);
    ASSERT_EQ(p.m_page->m_height, 1);
    EXPECT_EQ(pagePixel(*p.m_page, 1, 0), (Rgb{10, 10, 10}));
}

TEST(HPPclParser, RowsOfAPageThatCannotBeMadeArePassedOver) {
    // 50000 x 50000 RGB pixels is far past the largest page; the rows' bytes would be stray bytes.
    JobWriter job = rasterSetUp(50000, 50000);
    job.rawRow(bytesOf("AAAA"), 'W').rawRow(bytesOf("BB"), 'V').endRaster();
    job.rawRow(bytesOf("CC"), 'W'); // no raster at all
    const std::vector<Rgb> grey(12, Rgb{128, 128, 128}), white(12);
    job.rasterSize(6, 2).startRaster(1).rawRow(brelmont::testing::encodeMode10Row(grey.data(), white.data(), 12), 'W');
    const HPPclParser p(job.data());
    EXPECT_EQ(p.m_result, 0);
    ASSERT_TRUE(p.m_page);
    EXPECT_EQ(p.m_page->m_width, 6);
    EXPECT_EQ(pagePixel(*p.m_page, 5, 0), (Rgb{128, 128, 128}));
}

// Found by fuzzing: rasters of no pixels, whose rows must still be safe.
TEST(HPPclParser, RastersOfNoPixels) {
    const std::string rows = "\x1b*b1Y\x1b*b0V\x1b*b0W\x1b*b4W\x80\x01\x02\x03\x1b*b0W";
    const ByteVector configure = JobWriter().command('*', 'g', 12, 'W').bytes({6, 7, 0, 1, 2, 0x58, 2, 0x58, 10, 1, 32, 1}).data();
    // The last: a page of no height but of a width whose transmitted rows would need gigabytes.
    for (const std::string& setUp : {std::string("\x1b&u600D\x1b*r24s8T\x1b*t0R"), std::string("\x1b*r0s4T"),
                                     std::string("\x1b*r411000000s0T")}) {
        ByteVector block = bytesOf(setUp);
        block.insert(block.end(), configure.begin(), configure.end());
        const ByteVector raster = bytesOf("\x1b*r1A" + rows);
        block.insert(block.end(), raster.begin(), raster.end());
        const HPPclParser p(block);
        EXPECT_EQ(p.m_result, 0) << setUp;
        ASSERT_TRUE(p.m_page);
        EXPECT_EQ(p.m_page->m_size, 0);
    }
}
