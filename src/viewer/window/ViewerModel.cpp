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

int64_t pageCount(const std::vector<job::PagePtr>& emboss, const std::vector<job::PagePtr>& ink) {
    return int64_t(std::max(emboss.size(), ink.size()));
}

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

const job::PageData* pageAt(const std::vector<job::PagePtr>& pages, int64_t index) {
    if (index < 0 || index >= int64_t(pages.size())) return nullptr;
    return pages[size_t(index)].get();
}

} // namespace

SideImage embossSide(const std::vector<job::PagePtr>& pages, int64_t index) {
    const job::PageData* page = pageAt(pages, index);
    if (page && job::PageData::isEmbossKind(page->m_kind)) return SideImage::Emboss;
    return SideImage::Hidden;
}

SideImage inkSide(const std::vector<job::PagePtr>& pages, int64_t index) {
    const job::PageData* page = pageAt(pages, index);
    if (!page) return SideImage::Hidden;
    if (page->m_kind == 4) return SideImage::InkRgb;
    if (page->m_kind == 3) return SideImage::InkDots;
    return SideImage::Hidden;
}

std::string pageCaption(Side side, int64_t index, int64_t count, bool shown) {
    if (!shown) return side == Side::Ink ? "No ink page" : "No emboss page";
    return std::string(side == Side::Ink ? "Ink" : "Emboss") + " page " + std::to_string(index + 1) + " of " +
           std::to_string(count);
}

} // namespace brelmont::viewer
