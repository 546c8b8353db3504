#include "job/TclParser.h"

#include "job/Document.h"
#include "job/HPPclParser.h"


#include "JobWriter.h"
#include "Pcl3guiWriter.h"

#include <gtest/gtest.h>

#include <random>
#include <sstream>
#include <string>

using brelmont::job::DecodedJob;
using brelmont::job::Diagnostic;
using brelmont::job::FiledPage;
using brelmont::job::PagePtr;
using brelmont::job::PageShape;
using brelmont::job::TclParser;
using brelmont::testing::ByteVector;
using brelmont::testing::bytesOf;
using brelmont::testing::HeaderCheck;
using brelmont::testing::HeaderFields;
using brelmont::testing::JobWriter;

namespace {

std::vector<PagePtr> pixelsOf(const std::vector<FiledPage>& pages) {
    std::vector<PagePtr> list;
    for (const FiledPage& page : pages) list.push_back(page.pixels);
    return list;
}

bool samePixels(const PagePtr& a, const PagePtr& b) {
    return a && b && a->m_kind == b->m_kind && a->m_width == b->m_width && a->m_height == b->m_height && a->m_size == b->m_size &&
           std::equal(a->m_bytes, a->m_bytes + a->m_size, b->m_bytes);
}

// The page index reports what eager decoding reported, and every page it describes decodes on its
// own, from where it starts, to the page eager decoding made.
void expectOnDemandMatchesEager(const ByteVector& job, const DecodedJob& eager) {
    const DecodedJob index = brelmont::job::decodeJob(job, TclParser::Pixels::Describe);
    EXPECT_EQ(index.printerType, eager.printerType);
    EXPECT_EQ(index.result, eager.result);
    EXPECT_EQ(index.diagnostics, eager.diagnostics);
    for (const auto& [indexed, made] : {std::pair{&index.emboss, &eager.emboss}, {&index.ink, &eager.ink}}) {
        ASSERT_EQ(indexed->size(), made->size());
        for (size_t i = 0; i < made->size(); ++i) {
            EXPECT_EQ((*indexed)[i].shape, PageShape::of(*(*made)[i].pixels)) << "page " << i;
            const FiledPage again = TclParser::decodePage(job, (*indexed)[i].start);
            EXPECT_TRUE(samePixels(again.pixels, (*made)[i].pixels)) << "page " << i << " decoded on its own differs";
            EXPECT_EQ(again.notes, (*made)[i].notes) << "page " << i;
        }
    }
}

// A job decoded eagerly, as the reference, and checked against decoding it page by page.
struct Decoded {
    std::vector<PagePtr> emboss, ink;
    std::string diagnostics;
    int64_t result = 0;
    int64_t printerType = 0;
    int64_t mediaType = 0, minCust = 0, maxCust = 0, force = 0;

    explicit Decoded(const ByteVector& job) {
        DecodedJob eager;
        const TclParser p(job, TclParser::Pixels::Make,
                          [&](FiledPage&& page) { (brelmont::job::PageData::isEmbossKind(page.shape.kind) ? eager.emboss : eager.ink).push_back(std::move(page)); });
        eager.printerType = printerType = p.m_printerType;
        eager.result = result = p.m_result;
        eager.diagnostics = p.m_diagnostics;
        for (const Diagnostic& d : p.m_diagnostics) diagnostics += d.message + "\n";
        mediaType = p.m_mediaType, minCust = p.m_minCustPForce, maxCust = p.m_maxCustPForce, force = p.m_brailleForce;
        emboss = pixelsOf(eager.emboss);
        ink = pixelsOf(eager.ink);
        expectOnDemandMatchesEager(job, eager);
    }
};

ByteVector rowBytes(const PagePtr& page, int64_t y) { return ByteVector(page->row(y), page->row(y) + page->m_width); }

} // namespace

TEST(TclParser, ResultCodes) {
    struct Case { const char* what; std::string job; int64_t result; };
    const Case cases[] = {
        {"PJL and escapes", "@PJL ENTER LANGUAGE=TCL\r\n\x1b" "E\x1b&l2P\0\f", 0},
        {"stray byte", "\x01", -1},
        {"stray letter", "A", -1},
        {"universal exit without the minus", "\x1b%12345X", -1},
        {"universal exit cut", "\x1b%-123", -1},
        {"one-bit ink raster at 20 dpi", "\x1b*r2A", -3},
        {"one-bit ink raster at 100 dpi", "\x1b&u100D\x1b*r2A", 0},
        {"RGB raster at 100 dpi", "\x1b&u100D\x1b*r3A", -3},
        {"RGB raster at 300 dpi", "\x1b&u300D\x1b*r3A", 0},
        {"unknown raster mode", "\x1b*r4A", -3},
        {"emboss row too short", "\x1b*r5s1T\x1b*r1A\x1b*b2W\x01\x01", -2},
        {"emboss row exact", "\x1b*r5s1T\x1b*r1A\x1b*b2W\xFC\x01", 0},
        {"emboss row too long", "\x1b*r5s1T\x1b*r1A\x1b*b2W\xFB\x01", -2},
        {"plane too short", "\x1b&u300D\x1b*r2s1T\x1b*r3A\x1b*b2V\x01\x41", -2},
        {"unknown row letter", "\x1b*b5Q", -2},
        {"row command cut", "\x1b*b", -2},
        {"negative pass-over", "\x1b*o-6W", -1},
        {"negative configuration text", "\x1b&b-1W", -1},
        {"negative row", "\x1b*b-1W", -1},
        {"negative position row", "\x1b*b-1U", -1},
        {"overflowing value", "\x1b*r99999999999999999999S", -1},
        {"unknown command outside rows", "\x1b&k5Q\x1b(s3B", 0},
        {"rows with no raster", "\x1b*b3W\x02\x41\x42\x1b*b2U\x01\x01", 0},
    };
    for (const Case& c : cases) {
        const Decoded d(bytesOf(c.job));
        EXPECT_EQ(d.result, c.result) << c.what;
        EXPECT_EQ(d.diagnostics.find("loading PRN file failed") != std::string::npos, c.result < 0) << c.what;
    }
}

// Each report has its category and the byte where the command it is about began.
TEST(TclParser, DiagnosticsSayWhatAndWhere) {
    using Category = brelmont::job::DiagnosticCategory;
    struct Case { const char* what; std::string job; std::vector<std::pair<Category, int64_t>> reports; };
    const Case cases[] = {
        {"a universal exit each", "\x1b%-12345X@PJL ENTER LANGUAGE=TCL\r\n\x1b%-12345X", {{Category::Notice, 0}, {Category::Notice, 34}}},
        {"stray byte", "\x1b" "E\x1b&l2PZ", {{Category::SyntaxError, 7}}},
        {"row too short", "\x1b*r5s1T\x1b*r1A\x1b*b2W\x01\x01", {{Category::DataError, 12}}},
        {"raster at the wrong resolution", "\x1b&u100D\x1b*r3A", {{Category::RasterError, 7}}},
        {"a page too large, then a stray byte", "\x1b*r70000s70000T\x1b*r1A\x1b*rC\x01", {{Category::PageError, 15}, {Category::SyntaxError, 24}}},
    };
    for (const Case& c : cases) {
        const ByteVector job = bytesOf(c.job);
        const DecodedJob eager = brelmont::job::decodeJob(job, TclParser::Pixels::Make);
        ASSERT_EQ(eager.diagnostics.size(), c.reports.size()) << c.what;
        for (size_t i = 0; i < c.reports.size(); ++i) {
            EXPECT_EQ(eager.diagnostics[i].category, c.reports[i].first) << c.what;
            EXPECT_EQ(eager.diagnostics[i].offset, c.reports[i].second) << c.what;
        }
    }
    const DecodedJob tooLarge = brelmont::job::decodeJob(bytesOf(cases[4].job), TclParser::Pixels::Make);
    EXPECT_EQ(tooLarge.diagnostics[0].describe(), "Page Error (15): emboss page 1 cannot be made (70000 by 70000 cells); it is left out");
    EXPECT_EQ(tooLarge.diagnostics[1].message.rfind("loading PRN file failed", 0), 0u);
}

TEST(TclParser, ModelCodes) {
    struct Case { const char* what; std::string job; int64_t model; };
    const Case cases[] = {
        {"Merriden", "@PJL SET MODEL=\"Merriden\"\n", 131201},
        {"Merriden ink", "@PJL SET MODEL=\"MerriColorTintBridge\"\n", 131207},
        {"Orvin ink", "@PJL COMMENT MODEL=\"OrvinColorTintBridge\"\n", 221203},
        {"Valdo", "@PJL MODEL=\"Valdo\"\n", 121201},
        {"Tessaline is a prefix", "@PJL SET MODEL=\"Tessaline 30RT\"\n", 20802},
        {"first text in table order wins", "@PJL MODEL=\"Valdo\" MODEL=\"Merriden\"\n", 131201},
        {"a later line overwrites", "@PJL MODEL=\"Valdo\"\n@PJL MODEL=\"Merriden\"\n", 131201},
        {"a line without a model keeps it", "@PJL MODEL=\"Valdo\"\n@PJL ENTER LANGUAGE=TCL\n", 121201},
        {"configuration text", "\x1b&b18WPrinterType=Norrel", 221201},
        {"configuration with the ink option", "\x1b&b29WPrinterType=Norrel;Option=NIC", 221203},
        {"configuration with the SIA option", "\x1b&b10WOption=SIA", 101202},
        {"configuration overwrites a PJL line", "@PJL MODEL=\"Valdo\"\n\x1b&b18WPrinterType=Norrel", 221201},
        {"a PJL line overwrites configuration", "\x1b&b18WPrinterType=Norrel@PJL MODEL=\"Valdo\"\n", 121201},
        {"ESC as the last byte is a header of type 0xFF", "@PJL MODEL=\"Valdo\"\n\x1b", 1},
        {"no model", "@PJL ENTER LANGUAGE=TCL\n", 0},
    };
    for (const Case& c : cases) EXPECT_EQ(Decoded(bytesOf(c.job)).printerType, c.model) << c.what;
}

TEST(TclParser, BinaryHeaderCheckValues) {
    // A header that is not taken leaves its raster's bytes to be read as commands.
    struct Case { const char* what; uint8_t type; HeaderCheck check; int64_t model; size_t emboss, ink; };
    const Case cases[] = {
        {"emboss, sum plus 3", 4, HeaderCheck::Sum3, 80804, 1, 0},
        {"emboss, sum plus 4", 4, HeaderCheck::Sum4, 161705, 1, 0},
        {"emboss, marked", 4, HeaderCheck::Marked, 80803, 1, 0},
        {"emboss, bad sum", 4, HeaderCheck::Bad, 0, 0, 0},
        {"ink, sum plus 4", 5, HeaderCheck::Sum4, 161705, 0, 1},
        {"ink, sum plus 3", 5, HeaderCheck::Sum3, 0, 0, 0},
        {"ink, marked", 5, HeaderCheck::Marked, 80803, 0, 0},
        {"other type", 9, HeaderCheck::Sum3, 1, 0, 0},
    };
    const ByteVector cells{1, 0, 1, 1, 0, 0, 1, 0, 1, 1, 1, 0};
    for (const Case& c : cases) {
        JobWriter job;
        if (c.type == 4) job.embossBlock(cells, 4, 3, c.check);
        else if (c.type == 5) job.inkBlock(cells, 4, 3, c.check);
        else job.header(c.type, 4, 3, c.check, {});
        const Decoded d(job.data());
        if (c.emboss + c.ink) {
            EXPECT_EQ(d.result, 0) << c.what;
        }
        EXPECT_EQ(d.printerType, c.model) << c.what;
        EXPECT_EQ(d.emboss.size(), c.emboss) << c.what;
        EXPECT_EQ(d.ink.size(), c.ink) << c.what;
        for (const auto& page : c.emboss ? d.emboss : d.ink)
            for (int64_t y = 0; y < 3; ++y) EXPECT_EQ(rowBytes(page, y), ByteVector(cells.begin() + 4 * y, cells.begin() + 4 * y + 4)) << c.what;
    }
}

TEST(TclParser, MediaAndForceFromEmbossHeaders) {
    struct Case { const char* what; std::string before; HeaderCheck check; HeaderFields f; int64_t media, minCust, maxCust, force; };
    const Case cases[] = {
        {"special media", "", HeaderCheck::Sum3, {.mediaP = 2, .mediaQ = 14}, 14, 1, 0, 0},
        {"custom media", "", HeaderCheck::Sum3, {.mediaP = 3, .mediaQ = 5}, 30, 3, 5, 0},
        {"second special media after media 0", "\x1b&l0M", HeaderCheck::Sum3, {.mediaP = 2, .mediaQ = 12}, 13, 1, 0, 0},
        {"second special media needs media 0", "", HeaderCheck::Sum3, {.mediaP = 2, .mediaQ = 12}, 30, 2, 12, 0},
        {"custom after media 0", "\x1b&l0M", HeaderCheck::Sum3, {.mediaP = 2, .mediaQ = 9}, 30, 2, 9, 0},
        {"class 3", "", HeaderCheck::Sum3, {.flags = 0x30}, 11, 1, 0, 0},
        {"class 7", "", HeaderCheck::Sum4, {.flags = 0x71}, 16, 1, 0, 0},
        {"class 0", "", HeaderCheck::Sum3, {.mediaP = 2}, 0, 1, 0, 0},
        {"marked special media", "", HeaderCheck::Marked, {.mediaP = 7, .mediaQ = 18}, 14, 1, 0, 0},
        {"marked second special media", "\x1b&l0M", HeaderCheck::Marked, {.mediaP = 4, .mediaQ = 18}, 16, 1, 0, 0},
        {"marked: summed values are custom", "", HeaderCheck::Marked, {.mediaP = 2, .mediaQ = 14}, 30, 2, 14, 0},
        {"force 2 gives 1", "", HeaderCheck::Sum3, {.force = 2}, 0, 1, 0, 1},
        {"force 3 gives 2", "", HeaderCheck::Sum3, {.force = 0xFF}, 0, 1, 0, 2},
        {"force 1 gives 0", "", HeaderCheck::Marked, {.force = 1}, 0, 1, 0, 0},
    };
    for (const Case& c : cases) {
        const Decoded d(JobWriter().text(c.before).embossBlock({0, 0}, 2, 1, c.check, c.f).data());
        EXPECT_EQ(d.mediaType, c.media) << c.what;
        EXPECT_EQ(d.minCust, c.minCust) << c.what;
        EXPECT_EQ(d.maxCust, c.maxCust) << c.what;
        EXPECT_EQ(d.force, c.force) << c.what;
    }
}

TEST(TclParser, BinaryRastersWrapRowsAndHonourControls) {
    // Width 5: a literal of count 3 writes six cells, the sixth at the start of the next row.
    JobWriter emboss;
    emboss.header(4, 5, 3, HeaderCheck::Marked, {}).bytes({0x00, 0x03, 1, 2, 3, 4, 5, 6, 0xC0, 0x01, 0x41, 0xC5, 0x80, 0x02, 7, 8, 0xC0, 0x01});
    const Decoded e(emboss.data());
    ASSERT_EQ(e.result, 0);
    ASSERT_EQ(e.emboss.size(), 1u);
    EXPECT_EQ(rowBytes(e.emboss[0], 0), (ByteVector{1, 2, 3, 4, 5}));
    EXPECT_EQ(rowBytes(e.emboss[0], 1), (ByteVector{6, 0, 0, 0, 0}));
    EXPECT_EQ(rowBytes(e.emboss[0], 2), (ByteVector{7, 8, 7, 8, 0}));

    // Width 10: bits of a byte reaching the row end are dropped; the next byte starts a row.
    JobWriter ink;
    ink.header(5, 10, 2, HeaderCheck::Sum4, {}).bytes({0x00, 0x01, 0xFF, 0xFF, 0x00, 0x01, 0x01, 0x02});
    const Decoded i(ink.data());
    ASSERT_EQ(i.result, 0);
    ASSERT_EQ(i.ink.size(), 1u);
    EXPECT_EQ(rowBytes(i.ink[0], 0), (ByteVector{1, 1, 1, 1, 1, 1, 1, 1, 1, 1}));
    EXPECT_EQ(rowBytes(i.ink[0], 1), (ByteVector{1, 0, 0, 0, 0, 0, 0, 0, 0, 1}));

    // Cut short: the data ends (-2) or an operand is missing (-1); the page is not filed.
    for (const auto& [tail, result] : {std::pair{ByteVector{0x00, 0x01, 1, 2}, int64_t(-2)}, {ByteVector{0x00}, -1},
                                       {ByteVector{0x80, 0x01, 5}, -1}, {ByteVector{0xC0}, -1}}) {
        const Decoded cut(JobWriter().header(4, 5, 3, HeaderCheck::Marked, {}).bytes(tail).data());
        EXPECT_EQ(cut.result, result);
        EXPECT_TRUE(cut.emboss.empty());
    }
}

// A next-line of 0 rows returns to the start of the same row: what follows replaces the cells
// written before, zeros included.
TEST(TclParser, NextLineOfZeroRowsRewritesTheRow) {
    struct Case { const char* what; uint8_t type; int64_t width; ByteVector controls; ByteVector row; };
    const Case cases[] = {
        {"emboss", 4, 6, {0x00, 0x02, 5, 5, 5, 5, 0xC0, 0x00, 0x80, 0x01, 0, 0, 0x00, 0x01, 6, 0, 0xC0, 0x01}, {0, 0, 6, 0, 0, 0}},
        {"ink", 5, 24, {0x00, 0x01, 0xFF, 0xFF, 0xC0, 0x00, 0x00, 0x01, 0x0F, 0x00, 0xC0, 0x00, 0x80, 0x01, 0x00, 0xF0, 0xC0, 0x01},
         {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 0, 0, 0, 0, 0, 0, 0, 0}},
    };
    for (const Case& c : cases) {
        const Decoded d(JobWriter().header(c.type, c.width, 1, c.type == 4 ? HeaderCheck::Marked : HeaderCheck::Sum4, {}).bytes(c.controls).data());
        EXPECT_EQ(d.result, 0) << c.what;
        const std::vector<PagePtr>& pages = c.type == 4 ? d.emboss : d.ink;
        ASSERT_EQ(pages.size(), 1u) << c.what;
        EXPECT_EQ(rowBytes(pages[0], 0), c.row) << c.what;
    }
}

TEST(TclParser, PositionListRows) {
    struct Case { int64_t width; ByteVector list; std::vector<int64_t> dots; };
    const Case cases[] = {
        {10, {3, 2}, {3, 5}},
        {300, {255, 10}, {265}},
        {200, {255, 10}, {}},
        {10, {0, 9, 1}, {0, 9}},
        {4, {1, 1, 1, 1, 1}, {1, 2, 3}},
    };
    for (const Case& c : cases) {
        JobWriter job;
        job.rasterSize(c.width, 1).startRaster(1).rawRow(c.list, 'U').endRaster();
        const Decoded d(job.data());
        ASSERT_EQ(d.emboss.size(), 1u);
        ByteVector expected(size_t(c.width), 0);
        for (int64_t x : c.dots) expected[size_t(x)] = 15;
        EXPECT_EQ(rowBytes(d.emboss[0], 0), expected) << ::testing::PrintToString(c.list);
    }
}

TEST(TclParser, InkRows) {
    // One-bit rows: bit x mod 8 of byte x / 8, least significant first.
    JobWriter oneBit;
    oneBit.unit(100).rasterSize(10, 1).startRaster(2).row({0x05, 0x02}).endRaster();
    const Decoded a(oneBit.data());
    ASSERT_EQ(a.result, 0);
    ASSERT_EQ(a.ink.size(), 1u);
    EXPECT_EQ(rowBytes(a.ink[0], 0), (ByteVector{1, 0, 1, 0, 0, 0, 0, 0, 0, 1}));

    // RGB rows: plane (red), plane (green), row (blue).
    JobWriter rgb;
    rgb.unit(300).rasterSize(2, 1).startRaster(3).plane({10, 11}).plane({20, 21}).row({30, 31}).endRaster();
    const Decoded b(rgb.data());
    ASSERT_EQ(b.result, 0);
    ASSERT_EQ(b.ink.size(), 1u);
    const auto& page = b.ink[0];
    EXPECT_EQ(ByteVector(page->row(0), page->row(0) + 6), (ByteVector{10, 20, 30, 11, 21, 31}));
}

TEST(TclParser, PagesAreFiledOnceAndRowsPastThePageDropped) {
    JobWriter job;
    job.rasterSize(3, 2).startRaster(1).row({1, 1, 1}).row({2, 2, 2}).row({3, 3, 3}).endRaster().endRaster();
    job.embossBlock({4, 4}, 2, 1, HeaderCheck::Marked).endRaster();
    const Decoded d(job.data());
    EXPECT_EQ(d.result, 0);
    ASSERT_EQ(d.emboss.size(), 2u);
    EXPECT_EQ(rowBytes(d.emboss[0], 1), (ByteVector{2, 2, 2}));
}

TEST(TclParser, RasterWhosePageCannotBeMadeIsPassedOver) {
    JobWriter job;
    job.rasterSize(70000, 70000).startRaster(1).row(ByteVector(70000, 1)).row(ByteVector(70000, 2)).endRaster();
    job.rasterSize(3, 1).startRaster(1).row({5, 6, 7}).endRaster();
    const Decoded d(job.data());
    EXPECT_EQ(d.result, 0);
    ASSERT_EQ(d.emboss.size(), 1u);
    EXPECT_EQ(rowBytes(d.emboss[0], 0), (ByteVector{5, 6, 7}));
}

TEST(TclParser, ResolutionScalesTheRasterSize) {
    JobWriter job;
    job.rasterSize(170, 220).resolution(100).startRaster(1).endRaster();
    const Decoded d(job.data());
    ASSERT_EQ(d.emboss.size(), 1u);
    EXPECT_EQ(d.emboss[0]->m_width, 850);
    EXPECT_EQ(d.emboss[0]->m_height, 1100);
    EXPECT_EQ(d.emboss[0]->m_kind, 2);
}

TEST(TclParser, Pcl3guiBlocks) {
    const std::vector<brelmont::testing::Rgb> grey(8, {128, 128, 128});
    brelmont::testing::Pcl3guiWriter block(4, 2, brelmont::testing::Pcl3guiWriter::Planes::Colour);
    block.colourRow(grey.data());
    const ByteVector bytes = block.finish();

    const Decoded d(JobWriter().pcl3guiBlock(bytes, {.flags = 40}).endRaster().data());
    EXPECT_EQ(d.result, 0);
    EXPECT_EQ(d.printerType, 80803);
    ASSERT_EQ(d.ink.size(), 1u);
    EXPECT_EQ(d.ink[0]->row(0)[9], 128);

    // Real colour pages take blocks of 64 KiB and more: every byte of the length field counts.
    std::mt19937 random(7);
    const int64_t pageWidth = 120, pageHeight = 48;
    brelmont::testing::Pcl3guiWriter large(pageWidth, pageHeight, brelmont::testing::Pcl3guiWriter::Planes::Colour);
    std::vector<brelmont::testing::Rgb> row(size_t(2 * pageWidth));
    for (int64_t y = 0; y < 2 * pageHeight; ++y) {
        for (auto& p : row) p = {uint8_t(random()), uint8_t(random()), uint8_t(random())};
        large.colourRow(row.data(), brelmont::testing::PixelForm::ThreeByteOnly);
    }
    const ByteVector largeBytes = large.finish();
    ASSERT_GE(largeBytes.size(), 65536u);
    const Decoded l(JobWriter().pcl3guiBlock(largeBytes).text("@PJL MODEL=\"Valdo\"\n").data());
    EXPECT_EQ(l.result, 0);
    EXPECT_EQ(l.printerType, 121201); // the line after the block is read as a line
    ASSERT_EQ(l.ink.size(), 1u);
    EXPECT_TRUE(samePixels(l.ink[0], brelmont::job::HPPclParser(largeBytes).m_page));

    // A length field below the header's own 16 bytes ends the job and files nothing.
    const Decoded shortLength(JobWriter().pcl3guiBlock(bytes, {.lengthField = 15}).data());
    EXPECT_EQ(shortLength.result, -1);
    EXPECT_TRUE(shortLength.ink.empty());
}

// Every prefix of a job keeps exactly the pages finished before the cut.
TEST(TclParser, TruncationKeepsThePagesFiledBeforeIt) {
    JobWriter job;
    std::vector<size_t> pageEnds;
    job.pjl("@PJL ENTER LANGUAGE=TCL");
    job.rasterSize(6, 3).startRaster(1).row({0, 1, 2, 3, 4, 5}).row({7, 7, 7, 7, 7, 7}).positionRow({1, 4}).endRaster();
    pageEnds.push_back(job.data().size());
    job.unit(100).rasterSize(9, 2).startRaster(2).row({0xF0, 0x01}).row({0x0F, 0x00}).endRaster();
    pageEnds.push_back(job.data().size());
    job.unit(300).rasterSize(2, 2).startRaster(3).plane({1, 2}).plane({3, 4}).row({5, 6}).plane({7, 8}).plane({9, 10}).row({11, 12}).endRaster();
    pageEnds.push_back(job.data().size());
    job.unit(100).embossRaster(ByteVector(12, 3), 4, 3);
    pageEnds.push_back(job.data().size());

    const Decoded whole(job.data());
    std::vector<PagePtr> all = whole.emboss;
    all.insert(all.end(), whole.ink.begin(), whole.ink.end());
    ASSERT_EQ(all.size(), 4u);

    for (size_t cut = 0; cut <= job.data().size(); ++cut) {
        const ByteVector prefix(job.data().begin(), job.data().begin() + long(cut));
        const Decoded d(prefix);
        const size_t expected = size_t(std::count_if(pageEnds.begin(), pageEnds.end(), [&](size_t end) { return end <= cut; }));
        std::vector<PagePtr> filed = d.emboss;
        filed.insert(filed.end(), d.ink.begin(), d.ink.end());
        ASSERT_EQ(filed.size(), expected) << "cut at " << cut;
        for (const PagePtr& page : filed) {
            const auto same = std::find_if(all.begin(), all.end(), [&](const PagePtr& p) {
                return p->m_kind == page->m_kind && p->m_size == page->m_size && std::equal(p->m_bytes, p->m_bytes + p->m_size, page->m_bytes);
            });
            EXPECT_NE(same, all.end()) << "cut at " << cut << ": a filed page differs from the whole job's";
        }
    }
}

TEST(TclParser, BinaryRastersRoundTripAtEveryWidth) {
    std::mt19937 random(9);
    for (int64_t width = 1; width <= 40; ++width) {
        const int64_t height = 7;
        ByteVector ink(size_t(width * height)), emboss(size_t(width * height));
        for (auto& c : ink) c = random() % 3 == 0;
        for (auto& c : emboss) c = random() % 4 == 0 ? uint8_t(1 + random() % 7) : 0;
        // Whole rows of one value make repeats.
        std::fill(ink.begin() + width, ink.begin() + 3 * width, 1);
        std::fill(emboss.begin(), emboss.begin() + 2 * width, 5);
        JobWriter job;
        job.inkBlock(ink, width, height, HeaderCheck::Sum4).embossBlock(emboss, width, height, HeaderCheck::Sum4);
        const Decoded d(job.data());
        ASSERT_EQ(d.result, 0) << "width " << width;
        ASSERT_EQ(d.ink.size(), 1u);
        ASSERT_EQ(d.emboss.size(), 1u);
        for (int64_t y = 0; y < height; ++y) {
            const auto from = [&](const ByteVector& v) { return ByteVector(v.begin() + y * width, v.begin() + (y + 1) * width); };
            EXPECT_EQ(rowBytes(d.ink[0], y), from(ink)) << "width " << width << " row " << y;
            EXPECT_EQ(rowBytes(d.emboss[0], y), from(emboss)) << "width " << width << " row " << y;
        }
    }
}

namespace {

// A job of random pages of every form, some made in ways that test where a page starts: two pages
// from one escape sequence, rows rewritten by a next-line of 0, a colour block whose damaged row
// ends it before a second raster start. One in three is cut short.
ByteVector randomJob(uint32_t seed) {
    std::mt19937 random(seed);
    const auto pick = [&](int n) { return int(random() % unsigned(n)); };
    const auto bytes = [&](int64_t count, int values) {
        ByteVector b(static_cast<size_t>(count));
        for (auto& v : b) v = pick(3) ? 0 : uint8_t(1 + pick(values));
        return b;
    };
    JobWriter job;
    job.pjl("@PJL SET MODEL=\"Valdo\"");
    for (int piece = 3 + pick(8); piece > 0; --piece) {
        const int64_t w = 1 + pick(30), h = 1 + pick(10);
        switch (pick(8)) {
        case 0: job.unit(pick(2) ? 20 : 100).embossRaster(bytes(w * h, 7), w, h); break;
        case 1:
            job.unit(100).rasterSize(w, h).startRaster(2);
            for (int64_t y = 0; y < h; ++y) job.row(bytes((w + 7) / 8, 255));
            job.endRaster();
            break;
        case 2:
            job.unit(300).rasterSize(w, h).startRaster(3);
            for (int64_t y = 0; y < h; ++y) job.plane(bytes(w, 255)).plane(bytes(w, 255)).row(bytes(w, 255));
            job.endRaster();
            break;
        case 3: job.embossBlock(bytes(w * h, 7), w, h, pick(2) ? HeaderCheck::Marked : HeaderCheck::Sum3); break;
        case 4: job.inkBlock(bytes(w * h, 1), w, h, HeaderCheck::Sum4); break;
        case 5: {
            brelmont::testing::Pcl3guiWriter block(w, h, brelmont::testing::Pcl3guiWriter::Planes::Colour);
            std::vector<brelmont::testing::Rgb> row(size_t(2 * w));
            for (int64_t y = 0; y < 2 * h; ++y) {
                for (auto& p : row) p = pick(2) ? brelmont::testing::Rgb{} : brelmont::testing::Rgb{uint8_t(random()), 40, 200};
                block.colourRow(row.data());
            }
            if (pick(2)) block.raw(bytesOf("\x1b*b2W\x80\x10\x1b*r8s6T\x1b*r1A"));
            job.pcl3guiBlock(block.finish());
            break;
        }
        case 6:
            job.unit(20).escape('*', 'r', {{w, 's'}, {h, 't'}, {1, 'a'}, {0, 'c'}, {1, 'A'}});
            for (int64_t y = 0; y < h; ++y) job.row(bytes(w, 7));
            job.endRaster();
            break;
        default: {
            const bool emboss = pick(2);
            job.header(emboss ? 4 : 5, w, h, emboss ? HeaderCheck::Marked : HeaderCheck::Sum4, {});
            for (int k = 0; k < 3; ++k) {
                const ByteVector data = bytes(2, 255);
                job.bytes({0x00, 0x01, data[0], data[1], 0xC0, uint8_t(pick(2))});
            }
            job.bytes({0xC0, uint8_t(h)});
        }
        }
    }
    ByteVector data = job.data();
    if (pick(3) == 0) data.resize(data.size() - 1 - size_t(pick(int(data.size() / 3))));
    return data;
}

} // namespace

TEST(TclParser, RandomJobsDecodeAlikeOnDemand) {
    std::mt19937 random(11);
    for (uint32_t seed = 1; seed <= 60; ++seed) {
        SCOPED_TRACE(::testing::Message() << "seed " << seed);
        const ByteVector job = randomJob(seed);
        const Decoded d(job);
        // The document's lists, through their cache, asked in any order and more than once.
        brelmont::job::Document doc;
        std::ostringstream diagnostics;
        const auto refusal = doc.readFromData(job, brelmont::job::Document::TypeKprn, "random.kprn", diagnostics);
        ASSERT_EQ(bool(refusal), d.printerType == 0); // a header cut short fails its check and names no model
        if (refusal) continue;
        ASSERT_EQ(doc.m_embPages.size(), d.emboss.size());
        ASSERT_EQ(doc.m_inkPages.size(), d.ink.size());
        for (int ask = 0; ask < 12 && d.emboss.size() + d.ink.size() > 0; ++ask) {
            const size_t i = random() % (d.emboss.size() + d.ink.size());
            const bool emboss = i < d.emboss.size();
            const PagePtr page = emboss ? doc.m_embPages[i] : doc.m_inkPages[i - d.emboss.size()];
            EXPECT_TRUE(samePixels(page, emboss ? d.emboss[i] : d.ink[i - d.emboss.size()])) << "page " << i;
        }
    }
}
