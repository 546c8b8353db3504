#include "job/PageList.h"

#include "job/TclParser.h"

#include <algorithm>

namespace brelmont::job {

PageSource::PageSource(std::shared_ptr<const std::vector<uint8_t>> job, int64_t pageLimit)
    : m_job(std::move(job)),
      m_pageLimit(pageLimit) {}

DecodedPage PageSource::decode(const PageStart& start) {
    ++m_decodes;
    FiledPage filed = TclParser::decodePage(*m_job, start, m_pageLimit);
    return {std::move(filed.pixels), std::move(filed.notes)};
}

// The least recently asked for page leaves before a new one is decoded, so that no more than the
// capacity is held at any time. A page that could not be made is not kept: memory may come back.
DecodedPage PageSource::cached(const PageStart& start) {
    const auto hit = std::find_if(m_cache.begin(), m_cache.end(),
                                  [&](const Entry& e) { return e.offset == start.offset && e.ordinal == start.ordinal; });
    if (hit != m_cache.end()) {
        std::rotate(hit, hit + 1, m_cache.end());
        return m_cache.back().decoded;
    }
    if (m_cache.size() >= CacheCapacity) m_cache.erase(m_cache.begin());
    DecodedPage decoded = decode(start);
    if (decoded.page) m_cache.push_back({start.offset, start.ordinal, decoded});
    return decoded;
}

int64_t PageSource::bytesHeld() const {
    int64_t bytes = 0;
    for (const Entry& e : m_cache) bytes += e.decoded.page->m_size;
    return bytes;
}

PageList::PageList(std::vector<PagePtr> pages) {
    for (PagePtr& page : pages) push_back(std::move(page));
}

PageList::PageList(std::shared_ptr<PageSource> source, const std::vector<FiledPage>& pages) : m_source(std::move(source)) {
    m_entries.reserve(pages.size());
    for (const FiledPage& page : pages) m_entries.push_back({page.shape, page.start, nullptr});
}

DecodedPage PageList::decoded(size_t i) const {
    const Entry& e = m_entries.at(i);
    if (e.resident || !m_source) return {e.resident, {}};
    return m_source->cached(e.start);
}

DecodedPage PageList::decodeUncached(size_t i) const {
    const Entry& e = m_entries.at(i);
    if (e.resident || !m_source) return {e.resident, {}};
    return m_source->decode(e.start);
}

void PageList::push_back(PagePtr page) {
    const PageShape shape = page ? PageShape::of(*page) : PageShape{};
    m_entries.push_back({shape, {}, std::move(page)});
}

} // namespace brelmont::job
