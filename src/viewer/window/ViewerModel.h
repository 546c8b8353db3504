// The viewer's arithmetic without a display: where the two views go, how zoom resizes the window,
// which page comes next, and what each side shows.
#pragma once

#include "job/PageData.h"

#include <cstdint>
#include <string>
#include <vector>

namespace brelmont::viewer {

// A rectangle in points. The layout works with the origin at the lower left, as the window's
// content is described; `flipped` turns it into top-left coordinates for widgets.
struct Frame {
    double x = 0;
    double y = 0;
    double width = 0;
    double height = 0;

    bool operator==(const Frame&) const = default;
    Frame flipped(double containerHeight) const { return {x, containerHeight - y - height, width, height}; }
};

struct ViewLayout {
    Frame ink;
    Frame emboss;
};

// Both views side by side in a content area of W x H points: 64 points at the outer edges,
// 20 between the views and 20 above and below. A width below 148 gives a negative view width,
// which the caller treats as empty.
ViewLayout layoutViews(double contentWidth, double contentHeight);

constexpr int ZoomInPercent = 110;
constexpr int ZoomOutPercent = 90;

// The window frame scaled by percent/100 about its centre; x is held at 0 or more, y is not.
Frame zoomFrame(const Frame& frame, int percent);

// The number of pages of a job: its longer list.
int64_t pageCount(const std::vector<job::PagePtr>& emboss, const std::vector<job::PagePtr>& ink);

// Which page is shown and which one is wanted next. Nothing is shown until the first display.
class PageCursor {
public:
    // The display step's gate: moves to the wanted page when it exists and differs from the shown one.
    bool advance(int64_t pageCount);
    // Wants the next page when there is one; false leaves everything as it was.
    bool requestForward(int64_t pageCount);
    // Wants the previous page when there is one.
    bool requestBackward();

    int64_t m_currentPage = -1;
    int64_t m_nextPage = 0;
};

// What one side of the window shows for a page index.
enum class SideImage { Hidden, Emboss, InkDots, InkRgb };

// The emboss side shows kinds 1 and 2; an empty list, an index past its end or another kind hides it.
SideImage embossSide(const std::vector<job::PagePtr>& pages, int64_t index);
// The ink side shows kind 3 as dots and kind 4 as RGB; anything else hides it.
SideImage inkSide(const std::vector<job::PagePtr>& pages, int64_t index);

enum class Side { Ink, Emboss };

// What a view's caption and accessible name say: "Ink page 2 of 5", or "No ink page" when the
// side has nothing to show.
std::string pageCaption(Side side, int64_t index, int64_t count, bool shown);

} // namespace brelmont::viewer
