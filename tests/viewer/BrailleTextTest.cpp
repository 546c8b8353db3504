// Emboss pages read as braille: the cell grid of every spacing the writer lays out, in 6- and 8-dot
// form, found from a decoded job (the places of the driver's physical spacings are read back in the
// driver's unit tests); graphics and blank pages; BRF of a written job.
#include "viewer/braille/BrailleText.h"
#include "job/Document.h"
#include "viewer/braille/BrfExport.h"

#include "BrailleLayouts.h"
#include "SampleJob.h"

#include <gtest/gtest.h>

#include <cstring>
#include <sstream>
#include <tuple>

using namespace brelmont::testing;
using brelmont::job::Document;
using brelmont::job::PageData;
using brelmont::viewer::BraillePage;
using brelmont::viewer::brailleText;
using brelmont::viewer::PageLayout;

namespace {

// A written job decoded as the viewer opens it.
std::shared_ptr<Document> open(const ByteVector& job) {
    auto doc = std::make_shared<Document>();
    std::ostringstream diagnostics;
    EXPECT_FALSE(doc->readFromData(job, Document::TypeKprn, "/jobs/braille.kprn", diagnostics)) << diagnostics.str();
    return doc;
}

std::shared_ptr<PageData> pageOf(const ByteVector& cells, int64_t width, int64_t height) {
    auto page = PageData::create(width, height, 2);
    for (int64_t y = 0; y < height; ++y) std::memcpy(page->row(y), &cells[size_t(y * width)], size_t(width));
    return page;
}

std::string pattern(uint8_t bits) { return {char(0xE2), char(0xA0 | (bits >> 6)), char(0x80 | (bits & 0x3F))}; }

// Three pages: indented lines, a blank line inside the page, every letter; capitals and digits
// give the 8-dot form its dots 7 and 8. The last page raises only the top row (6-dot) or the top
// and bottom rows (8-dot), which other grids would fit as well.
constexpr std::string_view Passage =
    "The Lantern keeper\n  climbed 90 steps\n\nevery evening, quick\nfox jumps; wizard\fpage Two 12\fCA AC";

} // namespace

TEST(BrailleCells, EverySpacingIsFoundAndReadAsWritten) {
    for (const BrailleSpacing spacing : AllBrailleSpacings)
        for (const int dots : {6, 8}) {
            SCOPED_TRACE(std::string(spacingName(spacing)) + " " + std::to_string(dots) + "-dot");
            const BrailleLayout layout = brailleLayout(spacing, dots);
            const std::vector<BrailleCellPage> written = brailleCellsOf(Passage, dots);
            const auto doc = open(brailleJob(layOutBraille(written, layout, uint8_t(dots == 8 ? 7 : 3)), layout));
            ASSERT_EQ(doc->m_embPages.size(), written.size());
            for (size_t p = 0; p < written.size(); ++p) {
                const BraillePage read = brelmont::viewer::readBraillePage(*doc->m_embPages[p]);
                ASSERT_EQ(read.search.layout, PageLayout::Cells);
                EXPECT_EQ(read.lines, written[p]);
                std::string expected;
                for (const BrailleCells& line : written[p]) {
                    for (uint8_t cell : line) expected += pattern(cell);
                    expected += '\n';
                }
                EXPECT_EQ(brailleText(*doc->m_embPages[p]), expected);
            }
        }
}

// Dots that lie on no grid of cells fall back to the dot map with a first line that says so.
TEST(BrailleCells, GraphicsFallBackToTheDotMapAndBlankPagesAreEmpty) {
    const BrailleLayout layout = brailleLayout(BrailleSpacing::Congress, 6);
    ByteVector mixed = layOutBraille(brailleCellsOf("abc def", 6), layout, 4)[0];
    mixed[size_t((layout.margin + 4) * layout.width + layout.margin + 4)] = 7; // one dot between dot places
    const std::tuple<const char*, std::shared_ptr<PageData>, PageLayout> cases[] = {
        {"text with a stray dot", pageOf(mixed, layout.width, layout.height), PageLayout::Graphic},
        {"no dots", pageOf(ByteVector(size_t(40 * 30), 0), 40, 30), PageLayout::Blank},
    };
    for (const auto& [what, page, pageLayout] : cases) {
        EXPECT_EQ(brelmont::viewer::findCellGrid(*page).layout, pageLayout) << what;
        const std::string map = std::string(brelmont::viewer::GraphicNotice) + "\n" + brelmont::viewer::dotMapText(*page);
        EXPECT_TRUE(brailleText(*page) == (pageLayout == PageLayout::Blank ? "" : map)) << what;
    }
    // 3 x 5 cells: blocks of 2 x 4, the last column and row in blocks of their own; only drawn values are dots.
    const uint8_t cells[5][3] = {{7, 0, 1}, {0, 15, 0}, {8, 0, 0}, {2, 3, 0}, {0, 0, 16}};
    const auto page = pageOf(ByteVector(&cells[0][0], &cells[0][0] + 15), 3, 5);
    EXPECT_EQ(brelmont::viewer::dotMapText(*page),
              pattern(0x01 | 0x10 | 0x40 | 0x80) + pattern(0x01) + "\n" + pattern(0) + pattern(0) + "\n");
    EXPECT_EQ(brailleText(*PageData::create(4, 4, 3)), ""); // only emboss pages have text
}

// BRF lines end in CR LF and pages are parted by a form feed; 8-dot pages and graphics are left out.
TEST(Brf, AWrittenJobGivesBackTheTextItWasWrittenFrom) {
    const std::string text = "THE LANTERN KEEPER\r\n  CLIMBED THE STEPS\r\n\r\nEVERY EVENING\r\n\fAT THE TOP\r\n\fQUICK FOX\r\n";
    const BrailleLayout six = brailleLayout(BrailleSpacing::National, 6);
    std::vector<ByteVector> pages = layOutBraille(brailleCellsOf(text, 6), six, 5);
    const BrailleLayout eight = brailleLayout(BrailleSpacing::National, 8);
    const ByteVector eightDot = layOutBraille(brailleCellsOf("Eight dots", 8), eight, 5)[0];
    JobWriter job;
    job.pjl("@PJL JOB MODEL=\"Merriden\"").unit(100);
    job.embossRaster(pages[0], six.width, six.height).embossRaster(eightDot, eight.width, eight.height);
    job.embossRaster(pages[1], six.width, six.height).embossRaster(tactileGraphicCells(200, 200), 200, 200);
    job.embossRaster(pages[2], six.width, six.height);

    const brelmont::viewer::BrfExport brf = brelmont::viewer::exportBrf(open(job.data())->m_embPages);
    EXPECT_EQ(brf.text, text);
    EXPECT_EQ(brf.pagesWritten, 3);
    EXPECT_EQ(brf.leftOut, (std::vector<std::string>{"Emboss page 2 has 8-dot cells, which BRF cannot hold; it was left out.",
                                                     "Emboss page 4 is a tactile graphic, not braille cells; it was left out."}));
    EXPECT_EQ(brf.failure, "");
}
