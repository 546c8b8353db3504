// The pages of one list of a document (emboss or ink). A page of a job is decoded when it is asked
// for, from where it starts in the job; the last few pages asked for are kept.
#pragma once

#include "job/Diagnostic.h"
#include "job/PageData.h"
#include "job/PageStart.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace brelmont::job {

// A page and what decoding it found. The page is null when it could not be made (no memory).
struct DecodedPage {
    PagePtr page;
    std::vector<Diagnostic> notes;
};

// The job's bytes and the pages decoded lately, shared by the two lists of a document. The cache
// keeps the pages being shown and their neighbours, so memory does not grow with the job. Not
// for use from more than one thread at a time.
class PageSource {
public:
    static constexpr size_t CacheCapacity = 4;

    PageSource(std::shared_ptr<const std::vector<uint8_t>> job, int64_t pageLimit);

    DecodedPage decode(const PageStart& start);
    DecodedPage cached(const PageStart& start);

    int64_t decodeCount() const { return m_decodes; } // pages decoded so far, cached or not
    int64_t bytesHeld() const;                        // bytes of the pages in the cache

private:
    struct Entry {
        int64_t offset, ordinal;
        DecodedPage decoded;
    };
    std::shared_ptr<const std::vector<uint8_t>> m_job;
    int64_t m_pageLimit;
    std::vector<Entry> m_cache; // the most recently asked for last
    int64_t m_decodes = 0;
};

class PageList {
public:
    PageList() = default;
    // Pages made already: by hand, or by decoding a job whole.
    PageList(std::vector<PagePtr> pages);
    // The pages of a page index, decoded from `source` when asked for.
    PageList(std::shared_ptr<PageSource> source, const std::vector<FiledPage>& pages);

    size_t size() const { return m_entries.size(); }
    bool empty() const { return m_entries.empty(); }
    // Kind and size of page i, known without decoding it.
    PageShape shape(size_t i) const { return m_entries.at(i).shape; }

    // Page i through the cache.
    DecodedPage decoded(size_t i) const;
    PagePtr operator[](size_t i) const { return decoded(i).page; }
    // Page i decoded afresh and not kept: for going through every page once.
    DecodedPage decodeUncached(size_t i) const;

    void push_back(PagePtr page);

private:
    struct Entry {
        PageShape shape;
        PageStart start;
        PagePtr resident; // a page made already
    };
    std::vector<Entry> m_entries;
    std::shared_ptr<PageSource> m_source;
};

} // namespace brelmont::job
