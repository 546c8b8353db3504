// The viewer's arithmetic without a display: where the two views go, how zoom resizes the window
// and then the pages, which page comes next, and what each side shows.
#pragma once

#include "job/PageList.h"

#include <cstdint>
#include <optional>
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

// The frame moved, and shrunk where it is larger, so that it lies wholly inside `screen` (a zoomed
// window that grew past its screen would hide its title bar, menu and toolbar).
Frame keepOnScreen(const Frame& frame, const Frame& screen);

// Once the window can grow no more on its screen, zoom enlarges the pages inside their views, which
// then scroll, up to this many times the size that fits.
constexpr double MaxPageZoom = 8.0;

// The page zoom after one zoom step of `percent`: at least 1 (the page fits its view), at most
// MaxPageZoom.
double stepPageZoom(double zoom, int percent);

// The least size on screen of a high-contrast dot, the smallest level's, in points.
constexpr double HighContrastDotPoints = 6.0;

// The zoom level as shown and said: each page's size on screen as a percentage of its own, one
// number when both sides agree ("Zoom 64%"), both when they differ ("Zoom: ink page 64%, emboss
// page 273%"); empty when no page is shown.
std::string zoomLevelText(std::optional<int> inkPercent, std::optional<int> embossPercent);

// The number of pages of a job: its longer list.
int64_t pageCount(const job::PageList& emboss, const job::PageList& ink);

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

// The emboss side shows kinds 1 and 2; an empty list, an index past its end or another kind hides
// it. Decided by the page's kind, without decoding it.
SideImage embossSide(const job::PageList& pages, int64_t index);
// The ink side shows kind 3 as dots and kind 4 as RGB; anything else hides it.
SideImage inkSide(const job::PageList& pages, int64_t index);

enum class Side { Ink, Emboss };

// What the window says about decoding, in sentences: the faults found when the job was opened
// (decoding that stopped early, pages left out), then those found decoding the pages shown now.
// Empty when there is nothing to say.
std::string decodeNote(const std::vector<job::Diagnostic>& jobDiagnostics, const std::vector<job::Diagnostic>& embossNotes,
                       const std::vector<job::Diagnostic>& inkNotes);

} // namespace brelmont::viewer
