#include "job/HPPclParser.h"

#include "JobWriter.h"
#include "Pcl3guiWriter.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>

using brelmont::job::HPPclParser;
using brelmont::testing::bytesOf;
using brelmont::testing::ByteVector;
using brelmont::testing::JobWriter;
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

} // namespace

// Configure raster data of another format than 6 leaves the rows undecoded, and a 12-byte block
// cut short has no compression. (The compression and the black plane of format 6 come through the
// real driver's rows and the PDF ink pages, as do the raster size and resolution.)
TEST(HPPclParser, RasterSettingsOfOtherFormatsAreNotTaken) {
    const ByteVector block{5, 0x1F, 0, 2, 2, 0x58, 2, 0x58, 9, 1, 1, 1, 2, 0x58, 2, 0x58, 10, 1, 32, 1};
    const HPPclParser p(JobWriter().command('*', 'g', int64_t(block.size()), 'W').bytes(block).data());
    EXPECT_EQ(p.m_result, 0);
    EXPECT_EQ(std::pair(p.m_compression, p.m_blackPlane), std::pair(int64_t(0), false));
    EXPECT_EQ(HPPclParser(bytesOf("\x1b*g12W\x06\x07\x00\x01")).m_compression, -1);
}

TEST(HPPclParser, TopLevelBytesAndFaultsThatEndTheBlock) {
    const ByteVector raster = rasterSetUp(4, 4).data();
    const auto after = [&](const std::string& s) { return JobWriter().bytes(raster).text(s).data(); };
    const auto noPixels = [](const char* setUp) {
        JobWriter w;
        w.text(setUp).command('*', 'g', 12, 'W').bytes({6, 7, 0, 1, 2, 0x58, 2, 0x58, 10, 1, 32, 1}).startRaster(1);
        return w.text("\x1b*b1Y\x1b*b0V\x1b*b0W\x1b*b4W\x80\x01\x02\x03\x1b*b0W").data();
    };
    // What, the bytes, the result (and the language entered where it is said).
    // clang-format off
    const std::tuple<const char*, ByteVector, int64_t, int64_t> cases[] = {
        {"language line", bytesOf("@PJL ENTER LANGUAGE=PCL3GUI\r\n"), 0, 3},
        {"universal exit after it", bytesOf("@PJL ENTER LANGUAGE=PCL3GUI\r\n\x1b%-12345X"), 0, 0},
        {"universal exit without the minus", bytesOf("@PJL ENTER LANGUAGE=PCL3GUI\r\n\x1b%12345X"), -1, 3},
        {"universal exit cut", bytesOf("\x1b%-12345"), -1, 0}, {"NUL and form feed", bytesOf(std::string("\0\f\0", 3)), 0, 0},
        {"stray byte", bytesOf("\x01"), -1, 0}, {"ESC as the last byte", bytesOf("\x1b"), 0, 0},
        {"negative pass-over", bytesOf("\x1b*o-6W\x1b*r7S"), -1, 0},
        {"negative configure block", bytesOf("\x1b*g-2W\x1b*r7S"), -1, 0},
        {"negative row length", after("\x1b*b-3W\x1b*r7S"), -1, 0}, {"negative plane length", after("\x1b*b-3V\x1b*r7S"), -1, 0},
        {"row cut by the end of the data", after("\x1b*b10W\x80\x10\x20"), -1, 0},
        {"row command cut inside its value", after("\x1b*b1"), -2, 0}, {"unknown row letter", after("\x1b*b5Q\x1b*r7S"), -2, 0},
        {"row whose command runs past its bytes", after("\x1b*b2W\x80\x10\x1b*r7S"), -1, 0},
        {"overflowing value", bytesOf("\x1b*r99999999999999999999S\x1b*r7T"), -1, 0},
        {"overflowing row skip", after("\x1b*b9223372036854775807Y\x1b*b1Y"), -1, 0},
        {"unknown command elsewhere", bytesOf("\x1b&k5Q\x1b*r7S"), 0, 0},
        // Found by fuzzing: rows of rasters of no pixels, the last of a width whose rows would need gigabytes.
        {"no pixels at resolution 0", noPixels("\x1b&u600D\x1b*r24s8T\x1b*t0R"), 0, 0},
        {"no width", noPixels("\x1b*r0s4T"), 0, 0}, {"no height", noPixels("\x1b*r411000000s0T"), 0, 0},
    };
    // clang-format on
    for (const auto& [what, block, result, language] : cases) {
        const HPPclParser p(block);
        EXPECT_EQ(p.m_result, result) << what;
        EXPECT_EQ(p.m_language, language) << what;
        if (result < 0) { EXPECT_NE(p.m_paperWidth, 7) << what << ": decoding went on after the fault"; }
    }
}

TEST(HPPclParser, RowsOfAPageThatCannotBeMadeArePassedOver) {
    const std::vector<Rgb> grey(12, Rgb{128, 128, 128}), white(12);
    // The rows of a page that cannot be made (far past the largest) are passed over, not read as commands.
    JobWriter huge = rasterSetUp(50000, 50000);
    huge.rawRow(bytesOf("AAAA"), 'W').rawRow(bytesOf("BB"), 'V').endRaster().rawRow(bytesOf("CC"), 'W');
    huge.rasterSize(6, 2).startRaster(1).rawRow(brelmont::testing::encodeMode10Row(grey.data(), white.data(), 12), 'W');
    const HPPclParser h(huge.data());
    EXPECT_EQ(h.m_result, 0);
    ASSERT_TRUE(h.m_page);
    EXPECT_EQ(ByteVector(h.m_page->row(0) + 15, h.m_page->row(0) + 18), ByteVector(3, 128));
}
