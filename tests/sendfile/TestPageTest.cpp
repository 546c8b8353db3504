// The test page decodes as a job of the queue's model, with its braille cells in the queue's
// spacing at every dot height and an ink line only for models that print ink.
#include "BrailleLayout.h"
#include "TestPage.h"
#include "common/ModelCodes.h"
#include "job/Document.h"

#include <gtest/gtest.h>

#include <sstream>

using namespace brelmont::testing;
namespace model = brelmont::model;

namespace {

struct Case {
    int64_t model;
    const char* spacing;
    int64_t decodedModel; // what the decoder reads from the job
    bool ink;
};

class TestPage : public ::testing::TestWithParam<Case> {};

TEST_P(TestPage, DecodesWithItsCellsWhereTheSpacingPutsThem) {
    const Case c = GetParam();
    brelmont::job::Document document;
    std::ostringstream diagnostics;
    ASSERT_FALSE(document.readFromData(makeTestPage(c.model, c.spacing), brelmont::job::Document::TypeKprn,
                                       "/jobs/test.kprn", diagnostics));
    EXPECT_EQ(document.m_printerType, c.decodedModel);
    ASSERT_EQ(document.m_embPages.size(), 1u);
    EXPECT_EQ(document.m_inkPages.size(), c.ink ? 1u : 0u);

    const auto& page = *document.m_embPages[0];
    ASSERT_EQ(page.m_width, TestPageWidth);
    const ByteVector expected = testPageCells(c.spacing);
    for (int64_t y = 0; y < TestPageHeight; ++y)
        ASSERT_TRUE(std::equal(page.row(y), page.row(y) + TestPageWidth, expected.begin() + y * TestPageWidth)) << "row " << y;

    // "a" (dot 1) opens the first line at the lowest height; "b" adds dot 2 one dot pitch lower,
    // one cell pitch on; the last height comes last.
    const SpacingPitches& s = brailleSpacing(c.spacing);
    EXPECT_EQ(page.row(50)[50], LowestDotLevel);
    EXPECT_EQ(page.row(50 + s.dotPitch)[50 + s.cellPitch], LowestDotLevel);
    EXPECT_EQ(page.row(50 + s.dotPitch)[50], 0);
    int64_t lastDotRow = 0;
    for (int64_t y = 0; y < TestPageHeight; ++y)
        if (std::count(page.row(y), page.row(y) + TestPageWidth, HighestDotLevel)) lastDotRow = y;
    EXPECT_GT(lastDotRow, 50 + 12 * s.linePitch);
}

INSTANTIATE_TEST_SUITE_P(ModelsAndSpacings, TestPage,
                         ::testing::Values(Case{model::Valdo, "Congress", model::Valdo, false},
                                           Case{model::Orvin, "Jumbo", model::Orvin, false},
                                           Case{model::OrvinColorTintBridge, "Microbraille", model::OrvinColorTintBridge, true},
                                           Case{model::Tessaline, "Korean", model::Tessaline, false},
                                           Case{model::MerridenTintBridge, "no such spacing", model::MerridenTintBridge, true}));

} // namespace
