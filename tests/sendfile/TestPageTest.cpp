// The test page decodes as a job of the queue's model, with its braille cells in the queue's
// spacing and an ink page only for models that print ink. Only its first cells are looked at:
// the rest of the page and how high each line's dots stand are not pinned.
#include "TestPage.h"
#include "common/ModelCodes.h"
#include "driver/geometry/CellPlaces.h"
#include "job/Document.h"

#include <gtest/gtest.h>

#include <sstream>

using namespace brelmont::testing;
namespace model = brelmont::model;

TEST(TestPage, DecodesWithItsCellsWhereTheSpacingPutsThem) {
    // clang-format off
    for (const auto& [code, spacing, ink] : {std::tuple{model::Valdo, "Congress", false}, {model::Orvin, "Jumbo", false},
                                             {model::OrvinColorTintBridge, "Microbraille", true},
                                             {model::MerridenTintBridge, "no such spacing", true}}) {
        // clang-format on
        SCOPED_TRACE(spacing);
        brelmont::job::Document document;
        std::ostringstream diagnostics;
        ASSERT_FALSE(
            document.readFromData(makeTestPage(code, spacing), brelmont::job::Document::TypeKprn, "/t.kprn", diagnostics));
        EXPECT_EQ(document.m_printerType, code);
        ASSERT_EQ(document.m_embPages.size(), 1u);
        EXPECT_EQ(document.m_inkPages.size(), ink ? 1u : 0u);
        const auto& page = *document.m_embPages[0];
        ASSERT_EQ(page.m_width, TestPageWidth);
        // "a" (dot 1) opens the first line at the lowest height; "b" adds dot 2 one dot pitch
        // lower, one cell pitch on.
        const brelmont::driver::CellPlaces s(brelmont::driver::physicalSpacing(spacing), 100, 6);
        EXPECT_EQ(page.row(50)[50], LowestDotLevel);
        EXPECT_EQ(page.row(50 + s.dotStep())[50 + s.cellX(1)], LowestDotLevel);
        EXPECT_EQ(page.row(50 + s.dotStep())[50], 0);
    }
}
