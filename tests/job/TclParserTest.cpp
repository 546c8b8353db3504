#include "job/TclParser.h"

#include "job/HPPclParser.h"

#include "JobWriter.h"
#include "Pcl3guiWriter.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <tuple>

using brelmont::job::DecodedJob;
using brelmont::job::FiledPage;
using brelmont::job::PagePtr;
using brelmont::job::PageShape;
using brelmont::job::TclParser;
using namespace brelmont::testing;

namespace {

bool samePixels(const PagePtr& a, const PagePtr& b) {
    return a && b && PageShape::of(*a) == PageShape::of(*b) && std::equal(a->m_bytes, a->m_bytes + a->m_size, b->m_bytes);
}

// A job decoded eagerly (the fuzzer checks that each page also decodes on its own, the same).
struct Decoded {
    std::vector<PagePtr> emboss, ink;
    int64_t result = 0, printerType = 0;

    explicit Decoded(const ByteVector& job) {
        const TclParser p(job, TclParser::Pixels::Make, [&](FiledPage&& page) {
            (brelmont::job::PageData::isEmbossKind(page.shape.kind) ? emboss : ink).push_back(page.pixels);
        });
        result = p.m_result, printerType = p.m_printerType;
    }
};

ByteVector binary(uint8_t type, int64_t w, int64_t h, const ByteVector& controls) {
    return JobWriter().header(type, w, h, type == 4 ? HeaderCheck::Marked : HeaderCheck::Sum4, {}).bytes(controls).data();
}

ByteVector rowBytes(const PagePtr& page, int64_t y) {
    return page && page->row(y) ? ByteVector(page->row(y), page->row(y) + page->m_width * (page->m_kind == 4 ? 3 : 1))
                                : ByteVector{};
}

} // namespace

// The result of each job, and the model it names: a model text in table order, a configuration
// block's printer type and option, whichever comes last.
TEST(TclParser, ResultCodesAndModels) {
    // clang-format off
    const std::tuple<const char*, ByteVector, int64_t, int64_t> cases[] = {
        {"PJL and escapes", bytesOf(std::string("@PJL ENTER LANGUAGE=TCL\r\n\033E\x1b&l2P\0\f", 30)), 0, 0},
        {"stray byte", bytesOf("\x01"), -1, 0}, {"universal exit without the minus", bytesOf("\x1b%12345X"), -1, 0},
        {"one-bit ink raster at 20 dpi", bytesOf("\x1b*r2A"), -3, 0}, {"unknown raster mode", bytesOf("\x1b*r4A"), -3, 0},
        {"emboss row too short", bytesOf("\x1b*r5s1T\x1b*r1A\x1b*b2W\x01\x01"), -2, 0},
        {"emboss row exact", bytesOf("\x1b*r5s1T\x1b*r1A\x1b*b2W\xFC\x01"), 0, 0},
        {"emboss row too long", bytesOf("\x1b*r5s1T\x1b*r1A\x1b*b2W\xFB\x01"), -2, 0},
        {"plane too short", bytesOf("\x1b&u300D\x1b*r2s1T\x1b*r3A\x1b*b2V\x01\x41"), -2, 0},
        {"unknown row letter", bytesOf("\x1b*b5Q"), -2, 0}, {"negative row", bytesOf("\x1b*b-1W"), -1, 0},
        {"overflowing value", bytesOf("\x1b*r99999999999999999999S"), -1, 0},
        {"unknown command outside rows", bytesOf("\x1b&k5Q\x1b(s3B"), 0, 0},
        {"rows with no raster", bytesOf("\x1b*b3W\x02\x41\x42\x1b*b2U\x01\x01"), 0, 0},
        {"binary raster, data ends", binary(4, 5, 3, {0x00, 0x01, 1, 2}), -2, 80803},
        {"binary raster, literal count missing", binary(4, 5, 3, {0x00}), -1, 80803},
        {"Tessaline is a prefix", bytesOf("@PJL COMMENT MODEL=\"Tessaline 30RT\"\n"), 0, 20802},
        {"configuration with the ink option", bytesOf("\x1b&b29WPrinterType=Norrel;Option=NIC"), 0, 221203},
        {"configuration overwrites a PJL line", bytesOf("@PJL MODEL=\"Valdo\"\n\x1b&b18WPrinterType=Norrel"), 0, 221201},
        {"a PJL line overwrites configuration", bytesOf("\x1b&b18WPrinterType=Norrel@PJL MODEL=\"Valdo\"\n"), 0, 121201},
        {"ESC as the last byte is a header of type 0xFF", bytesOf("@PJL MODEL=\"Valdo\"\n\x1b"), 0, 1},
    };
    // clang-format on
    for (const auto& [what, job, result, model] : cases) {
        SCOPED_TRACE(what);
        const Decoded decoded(job);
        EXPECT_EQ(std::pair(decoded.result, decoded.printerType), std::pair(result, model));
        const DecodedJob d = brelmont::job::decodeJob(job, TclParser::Pixels::Make);
        EXPECT_EQ(!d.diagnostics.empty() && d.diagnostics.back().message.rfind("loading PRN file failed", 0) == 0, result < 0);
    }
}

// A page left out is reported with its size (the syntax error after it is not pinned).
TEST(TclParser, DiagnosticsSayWhatAndWhere) {
    const DecodedJob d = brelmont::job::decodeJob(bytesOf("\x1b*r70000s70000T\x1b*r1A\x1b*rC\x01"), TclParser::Pixels::Make);
    ASSERT_EQ(d.diagnostics.size(), 2u);
    EXPECT_EQ(d.diagnostics[0].describe(),
              "Page Error (15): emboss page 1 cannot be made (70000 by 70000 cells); it is left out");
}

// A header that is not taken leaves its raster's bytes to be read as commands.
TEST(TclParser, BinaryHeaderChecks) {
    const std::tuple<const char*, uint8_t, HeaderCheck, int64_t, size_t, size_t> cases[] = {
        {"emboss, sum plus 3", 4, HeaderCheck::Sum3, 80804, 1, 0}, {"emboss, sum plus 4", 4, HeaderCheck::Sum4, 161705, 1, 0},
        {"emboss, marked", 4, HeaderCheck::Marked, 80803, 1, 0},   {"emboss, bad sum", 4, HeaderCheck::Bad, 0, 0, 0},
        {"ink, sum plus 4", 5, HeaderCheck::Sum4, 161705, 0, 1},   {"ink, sum plus 3", 5, HeaderCheck::Sum3, 0, 0, 0},
        {"ink, marked", 5, HeaderCheck::Marked, 80803, 0, 0},      {"other type", 9, HeaderCheck::Sum3, 1, 0, 0},
    };
    const ByteVector cells{1, 0, 1, 1, 0, 0, 1, 0, 1, 1, 1, 0};
    for (const auto& [what, type, check, model, emboss, ink] : cases) {
        JobWriter job;
        if (type == 4) job.embossBlock(cells, 4, 3, check);
        else if (type == 5) job.inkBlock(cells, 4, 3, check);
        else job.header(type, 4, 3, check, {});
        const Decoded d(job.data());
        EXPECT_EQ(d.printerType, model) << what;
        ASSERT_EQ(d.emboss.size(), emboss) << what;
        ASSERT_EQ(d.ink.size(), ink) << what;
        if (emboss + ink) {
            EXPECT_EQ(rowBytes(emboss ? d.emboss[0] : d.ink[0], 2), ByteVector(cells.begin() + 8, cells.end())) << what;
        }
    }
}

// A row of the one page each job files.
TEST(TclParser, DecodedRows) {
    const auto raster = [](int64_t dpi, int64_t w, int64_t h, int64_t mode) {
        return std::move(JobWriter().unit(dpi).rasterSize(w, h).startRaster(mode));
    };
    const auto positions = [&](int64_t width, const ByteVector& list) {
        return raster(20, width, 1, 1).rawRow(list, 'U').endRaster().data();
    };
    ByteVector dots300(300);
    dots300[265] = 15;
    // Width 5: a literal of count 3 writes six cells, the sixth at the start of the next row.
    const ByteVector wrapped =
        binary(4, 5, 3, {0x00, 0x03, 1, 2, 3, 4, 5, 6, 0xC0, 0x01, 0x41, 0xC5, 0x80, 0x02, 7, 8, 0xC0, 0x01});
    const ByteVector inkWrap = binary(5, 10, 2, {0x00, 0x01, 0xFF, 0xFF, 0x00, 0x01, 0x01, 0x02});
    const ByteVector embossAgain =
        binary(4, 6, 1, {0x00, 0x02, 5, 5, 5, 5, 0xC0, 0x00, 0x80, 0x01, 0, 0, 0x00, 0x01, 6, 0, 0xC0, 0x01});
    const ByteVector oneBit = raster(100, 10, 1, 2).row({0x05, 0x02}).endRaster().data();
    const ByteVector rgb = raster(300, 2, 1, 3).plane({10, 11}).plane({20, 21}).row({30, 31}).endRaster().data();
    const ByteVector pastPage = raster(20, 3, 2, 1).row({1, 1, 1}).row({2, 2, 2}).row({3, 3, 3}).endRaster().endRaster().data();
    JobWriter tooLarge = raster(20, 70000, 70000, 1);
    tooLarge.row(ByteVector(70000, 1)).endRaster().rasterSize(3, 1).startRaster(1).row({5, 6, 7}).endRaster();
    const ByteVector scaled = JobWriter().rasterSize(170, 220).resolution(100).startRaster(1).endRaster().data();
    // clang-format off
    const std::tuple<const char*, int64_t, ByteVector, ByteVector> cases[] = {
        {"binary literal", 0, {1, 2, 3, 4, 5}, wrapped}, {"binary literal wraps", 1, {6, 0, 0, 0, 0}, wrapped},
        {"binary offset and repeat", 2, {7, 8, 7, 8, 0}, wrapped},
        {"ink bits reaching the row end are dropped", 1, {1, 0, 0, 0, 0, 0, 0, 0, 0, 1}, inkWrap},
        {"next-line of 0 rows rewrites the emboss row", 0, {0, 0, 6, 0, 0, 0}, embossAgain},
        {"positions", 0, {0, 0, 0, 15, 0, 15, 0, 0, 0, 0}, positions(10, {3, 2})},
        {"position steps of 255 add up", 0, dots300, positions(300, {255, 10})},
        {"positions past the row", 0, {0, 15, 15, 15}, positions(4, {1, 1, 1, 1, 1})},
        {"a step of 0 after the first", 0, {15, 0, 0, 0, 0, 0, 0, 0, 0, 15}, positions(10, {0, 9, 1})},
        {"one-bit ink, least significant bit first", 0, {1, 0, 1, 0, 0, 0, 0, 0, 0, 1}, oneBit},
        {"RGB from two planes and a row", 0, {10, 20, 30, 11, 21, 31}, rgb},
        {"rows past the page dropped, a page filed once", 1, {2, 2, 2}, pastPage},
        {"a page that cannot be made is passed over", 0, {5, 6, 7}, tooLarge.data()},
        {"resolution scales the raster size", 1099, ByteVector(850, 0), scaled},
    };
    // clang-format on
    for (const auto& [what, y, row, job] : cases) {
        SCOPED_TRACE(what);
        const Decoded d(job);
        EXPECT_EQ(d.result, 0);
        ASSERT_EQ(d.emboss.size() + d.ink.size(), 1u);
        EXPECT_EQ(rowBytes(d.emboss.empty() ? d.ink[0] : d.emboss[0], y), row);
    }
}

TEST(TclParser, Pcl3guiBlocks) {
    // Real colour pages take blocks of 64 KiB and more: every byte of the length field counts.
    std::mt19937 random(7);
    Pcl3guiWriter large(120, 48, Pcl3guiWriter::Planes::Colour);
    std::vector<Rgb> row(240);
    for (int y = 0; y < 96; ++y) {
        for (auto& p : row) p = {uint8_t(random()), uint8_t(random()), uint8_t(random())};
        large.colourRow(row.data(), PixelForm::ThreeByteOnly);
    }
    const ByteVector largeBytes = large.finish();
    ASSERT_GE(largeBytes.size(), 65536u);
    const Decoded l(JobWriter().pcl3guiBlock(largeBytes).text("@PJL MODEL=\"Valdo\"\n").data());
    EXPECT_EQ(l.result, 0);
    EXPECT_EQ(l.printerType, 121201); // the line after the block is read as a line
    ASSERT_EQ(l.ink.size(), 1u);
    EXPECT_TRUE(samePixels(l.ink[0], brelmont::job::HPPclParser(largeBytes).m_page));

    // Cut inside the block, the job says how much of the block is missing.
    const ByteVector whole = JobWriter().pcl3guiBlock(largeBytes).data();
    for (const size_t cut : {size_t(20), whole.size() / 2, whole.size() - 1}) {
        const TclParser cutShort(ByteVector(whole.begin(), whole.begin() + long(cut)), TclParser::Pixels::Make,
                                 [](FiledPage&&) {});
        ASSERT_FALSE(cutShort.m_diagnostics.empty()) << cut;
        const auto& said = cutShort.m_diagnostics.front();
        EXPECT_NE(said.message.find("ends after " + std::to_string(cut - 16)), std::string::npos) << said.message;
    }

    // A length field below the header's own 16 bytes ends the job and files nothing.
    const Decoded shortLength(JobWriter().pcl3guiBlock(largeBytes, {.lengthField = 15}).data());
    EXPECT_EQ(shortLength.result, -1);
    EXPECT_TRUE(shortLength.ink.empty());
}

// Every prefix of a job keeps exactly the pages finished before the cut, as the whole job made them.
TEST(TclParser, TruncationKeepsThePagesFiledBeforeIt) {
    JobWriter job;
    std::vector<size_t> ends;
    job.pjl("@PJL ENTER LANGUAGE=TCL").rasterSize(6, 3).startRaster(1).row({0, 1, 2, 3, 4, 5}).positionRow({1, 4}).endRaster();
    ends.push_back(job.data().size());
    job.unit(100).rasterSize(9, 2).startRaster(2).row({0xF0, 0x01}).row({0x0F, 0x00}).endRaster();
    ends.push_back(job.data().size());
    job.unit(300).rasterSize(2, 2).startRaster(3).plane({1, 2}).plane({3, 4}).row({5, 6});
    job.plane({7, 8}).plane({9, 10}).row({11, 12}).endRaster();
    ends.push_back(job.data().size());
    job.embossBlock(ByteVector(12, 3), 4, 3, HeaderCheck::Marked);
    ends.push_back(job.data().size());
    const Decoded whole(job.data());
    for (size_t cut = 0; cut <= job.data().size(); ++cut) {
        const Decoded d(ByteVector(job.data().begin(), job.data().begin() + long(cut)));
        const size_t expected = size_t(std::count_if(ends.begin(), ends.end(), [&](size_t end) { return end <= cut; }));
        ASSERT_EQ(d.emboss.size() + d.ink.size(), expected) << "cut at " << cut;
        for (size_t i = 0; i < d.emboss.size(); ++i) EXPECT_TRUE(samePixels(d.emboss[i], whole.emboss[i])) << "cut at " << cut;
        for (size_t i = 0; i < d.ink.size(); ++i) EXPECT_TRUE(samePixels(d.ink[i], whole.ink[i])) << "cut at " << cut;
    }
}
