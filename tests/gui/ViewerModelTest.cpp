// The viewer's arithmetic, without any widget: layout, zoom, paging and what each side shows.
#include "viewer/window/ViewerModel.h"

#include <gtest/gtest.h>

using namespace brelmont::viewer;
using brelmont::job::PageData;
using brelmont::job::PagePtr;

namespace {

std::vector<PagePtr> pages(std::initializer_list<int> kinds) {
    std::vector<PagePtr> list;
    for (int kind : kinds) list.push_back(PageData::create(4, 4, kind));
    return list;
}

} // namespace

TEST(ViewerLayout, TwoViewsWithMarginsAndGap) {
    const ViewLayout layout = layoutViews(1000, 800);
    EXPECT_EQ(layout.ink, (Frame{64, 20, 426, 760}));
    EXPECT_EQ(layout.emboss, (Frame{64 + 426 + 20, 20, 426, 760}));
    // 64 points remain at the right edge.
    EXPECT_DOUBLE_EQ(1000 - (layout.emboss.x + layout.emboss.width), 64);
}

TEST(ViewerLayout, OddWidthsSplitIntoHalves) {
    const ViewLayout layout = layoutViews(149, 100);
    EXPECT_DOUBLE_EQ(layout.ink.width, 0.5);
    EXPECT_DOUBLE_EQ(layout.emboss.x, 64 + 0.5 + 20);
}

TEST(ViewerLayout, SmallWindowsGiveEmptyViews) {
    const ViewLayout narrow = layoutViews(100, 800);
    EXPECT_LT(narrow.ink.width, 0); // the widget side treats it as empty
    EXPECT_DOUBLE_EQ(narrow.ink.width, -24);
    const ViewLayout low = layoutViews(1000, 30);
    EXPECT_DOUBLE_EQ(low.ink.height, 0);
    EXPECT_DOUBLE_EQ(low.emboss.height, 0);
}

TEST(ViewerLayout, FlippedFramesKeepTwentyPointsAboveAndBelow) {
    const Frame top = layoutViews(1000, 800).ink.flipped(800);
    EXPECT_EQ(top, (Frame{64, 20, 426, 760}));
}

TEST(ViewerZoom, ZoomInKeepsTheCentreAndHoldsXAtZero) {
    EXPECT_EQ(zoomFrame(Frame{10, 100, 1000, 800}, ZoomInPercent), (Frame{0, 60, 1100, 880}));
    EXPECT_EQ(zoomFrame(Frame{300, 200, 1000, 800}, ZoomInPercent), (Frame{250, 160, 1100, 880}));
}

TEST(ViewerZoom, ZoomOutShrinksAboutTheCentre) {
    EXPECT_EQ(zoomFrame(Frame{10, 100, 1000, 800}, ZoomOutPercent), (Frame{60, 140, 900, 720}));
}

TEST(ViewerZoom, YMayGoNegative) {
    EXPECT_EQ(zoomFrame(Frame{0, 0, 100, 100}, ZoomInPercent), (Frame{0, -5, 110, 110}));
}

TEST(ViewerZoom, InThenOutIsNotTheIdentity) {
    const Frame back = zoomFrame(zoomFrame(Frame{100, 100, 1000, 800}, ZoomInPercent), ZoomOutPercent);
    EXPECT_DOUBLE_EQ(back.width, 990);
    EXPECT_DOUBLE_EQ(back.height, 792);
}

TEST(PageCursor, FirstDisplayShowsPageZero) {
    PageCursor cursor;
    EXPECT_EQ(cursor.m_currentPage, -1);
    EXPECT_TRUE(cursor.advance(3));
    EXPECT_EQ(cursor.m_currentPage, 0);
    EXPECT_FALSE(cursor.advance(3)); // the same page again is not redrawn
}

TEST(PageCursor, NothingToShowWithoutPages) {
    PageCursor cursor;
    EXPECT_FALSE(cursor.advance(0));
    EXPECT_EQ(cursor.m_currentPage, -1);
    EXPECT_FALSE(cursor.requestBackward());
}

TEST(PageCursor, StopsAtBothEnds) {
    PageCursor cursor;
    ASSERT_TRUE(cursor.advance(2));
    EXPECT_FALSE(cursor.requestBackward()); // on page 0
    EXPECT_TRUE(cursor.requestForward(2));
    EXPECT_TRUE(cursor.advance(2));
    EXPECT_EQ(cursor.m_currentPage, 1);
    EXPECT_FALSE(cursor.requestForward(2)); // on the last page
    EXPECT_EQ(cursor.m_nextPage, 1);
    EXPECT_TRUE(cursor.requestBackward());
    EXPECT_TRUE(cursor.advance(2));
    EXPECT_EQ(cursor.m_currentPage, 0);
}

TEST(PageCursor, PageCountIsTheLongerList) {
    EXPECT_EQ(pageCount(pages({1, 1, 1}), pages({3})), 3);
    EXPECT_EQ(pageCount(pages({}), pages({4, 4})), 2);
    EXPECT_EQ(pageCount(pages({}), pages({})), 0);
}

TEST(PageSides, ListsOfDifferentLengths) {
    const auto emboss = pages({1, 2, 2});
    const auto ink = pages({4});
    EXPECT_EQ(embossSide(emboss, 0), SideImage::Emboss);
    EXPECT_EQ(inkSide(ink, 0), SideImage::InkRgb);
    EXPECT_EQ(embossSide(emboss, 2), SideImage::Emboss);
    EXPECT_EQ(inkSide(ink, 2), SideImage::Hidden); // past the end of the shorter list
    EXPECT_EQ(embossSide({}, 0), SideImage::Hidden);
    EXPECT_EQ(inkSide(pages({3}), 0), SideImage::InkDots);
}

TEST(PageSides, WrongKindsHideTheSide) {
    EXPECT_EQ(embossSide(pages({3}), 0), SideImage::Hidden);
    EXPECT_EQ(inkSide(pages({2}), 0), SideImage::Hidden);
}

