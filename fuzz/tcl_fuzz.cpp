// Whole jobs, decoded eagerly and page by page: every page the index describes must decode on its
// own, from where it starts, to the page eager decoding made, and the index must report what
// eager decoding reported. Then through the document, as opening a file does.
#include "job/Document.h"
#include "job/TclParser.h"

#include "FuzzCheck.h"

#include <algorithm>
#include <cstdlib>
#include <ostream>
#include <streambuf>

namespace {

using namespace brelmont::job;

struct NullBuffer : std::streambuf {
    int overflow(int c) override { return c; }
};

constexpr int64_t PageLimit = int64_t(16) << 20; // keeps each run quick; the limit itself is under test

bool samePixels(const PagePtr& a, const PagePtr& b) {
    if (!a || !b) return !a && !b;
    return PageShape::of(*a) == PageShape::of(*b) && std::equal(a->m_bytes, a->m_bytes + a->m_size, b->m_bytes);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const Bytes job(data, size);
    const DecodedJob index = decodeJob(job, TclParser::Pixels::Describe, PageLimit);
    size_t filed[2] = {0, 0};
    const TclParser eager(
        job, TclParser::Pixels::Make,
        [&](FiledPage&& page) {
            const bool emboss = PageData::isEmbossKind(page.shape.kind);
            const std::vector<FiledPage>& described = emboss ? index.emboss : index.ink;
            size_t& n = filed[emboss ? 0 : 1];
            check(n < described.size() && described[n].shape == page.shape);
            const FiledPage again = TclParser::decodePage(job, described[n++].start, PageLimit);
            check(samePixels(again.pixels, page.pixels) && again.notes == page.notes);
        },
        PageLimit);
    check(filed[0] == index.emboss.size() && filed[1] == index.ink.size());
    check(eager.m_result == index.result && eager.m_printerType == index.printerType && eager.m_diagnostics == index.diagnostics);

    static NullBuffer nothing;
    static std::ostream diagnostics(&nothing);
    Document doc;
    doc.m_pageLimit = PageLimit;
    if (!doc.readFromData(job, Document::TypeKprn, "fuzz.kprn", diagnostics) && !doc.m_inkPages.empty())
        check(samePixels(doc.m_inkPages[doc.m_inkPages.size() - 1],
                         TclParser::decodePage(job, index.ink.back().start, PageLimit).pixels));
    return 0;
}
