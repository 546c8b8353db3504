#include "viewer/window/ViewerModel.h"

#include <algorithm>

namespace brelmont::viewer {

ViewLayout layoutViews(double W, double H) {
    const double width = (W - 148) / 2;
    const double height = std::max(0.0, H - 40);
    return {Frame{64, 20, width, height}, Frame{64 + width + 20, 20, width, height}};
}

Frame zoomFrame(const Frame& frame, int percent) {
    // Multiplied before dividing, so whole-point frames give exact results.
    const double w = frame.width * percent / 100;
    const double h = frame.height * percent / 100;
    const double x = std::max(0.0, frame.x - (w - frame.width) / 2);
    const double y = frame.y - (h - frame.height) / 2;
    return {x, y, w, h};
}

Frame keepOnScreen(const Frame& frame, const Frame& screen) {
    const double w = std::min(frame.width, screen.width), h = std::min(frame.height, screen.height);
    const double x = std::clamp(frame.x, screen.x, screen.x + screen.width - w);
    const double y = std::clamp(frame.y, screen.y, screen.y + screen.height - h);
    return {x, y, w, h};
}

double stepPageZoom(double zoom, int percent) {
    // A step back from the first step in lands a hair under 1 (1.1 x 0.9): that is fitting again.
    return std::clamp(zoom * percent / 100, 1.0, MaxPageZoom);
}

std::string zoomLevelText(std::optional<int> inkPercent, std::optional<int> embossPercent) {
    if (inkPercent && embossPercent && *inkPercent != *embossPercent)
        return "Zoom: ink page " + std::to_string(*inkPercent) + "%, emboss page " + std::to_string(*embossPercent) + "%";
    const std::optional<int> percent = inkPercent ? inkPercent : embossPercent;
    return percent ? "Zoom " + std::to_string(*percent) + "%" : std::string();
}

int64_t pageCount(const job::PageList& emboss, const job::PageList& ink) { return int64_t(std::max(emboss.size(), ink.size())); }

bool PageCursor::advance(int64_t count) {
    if (count <= 0 || m_nextPage >= count || m_nextPage == m_currentPage) return false;
    m_currentPage = m_nextPage;
    return true;
}

bool PageCursor::requestForward(int64_t count) {
    if (m_currentPage + 1 >= count) return false;
    m_nextPage = m_currentPage + 1;
    return true;
}

bool PageCursor::requestBackward() {
    if (m_currentPage < 1) return false;
    m_nextPage = m_currentPage - 1;
    return true;
}

namespace {

int64_t kindAt(const job::PageList& pages, int64_t index) {
    return index >= 0 && index < int64_t(pages.size()) ? pages.shape(size_t(index)).kind : 0;
}

} // namespace

SideImage embossSide(const job::PageList& pages, int64_t index) {
    return job::PageData::isEmbossKind(kindAt(pages, index)) ? SideImage::Emboss : SideImage::Hidden;
}

SideImage inkSide(const job::PageList& pages, int64_t index) {
    switch (kindAt(pages, index)) {
    case 4: return SideImage::InkRgb;
    case 3: return SideImage::InkDots;
    default: return SideImage::Hidden;
    }
}

std::string decodeNote(const std::vector<job::Diagnostic>& jobDiagnostics, const std::vector<job::Diagnostic>& embossNotes,
                       const std::vector<job::Diagnostic>& inkNotes) {
    std::string note;
    const auto add = [&note](const std::string& sentence) { note += (note.empty() ? "" : " ") + sentence; };
    for (const job::Diagnostic& d : jobDiagnostics) {
        if (!d.isFault()) continue;
        if (d.category != job::DiagnosticCategory::PageError)
            add("Decoding stopped early; only the pages made before the fault are shown.");
        add(d.sentence());
    }
    for (const job::Diagnostic& d : embossNotes) add("This emboss page: " + d.sentence());
    for (const job::Diagnostic& d : inkNotes) add("This ink page: " + d.sentence());
    return note;
}

} // namespace brelmont::viewer
