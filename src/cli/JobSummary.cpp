#include "cli/JobSummary.h"

#include <sstream>

namespace brelmont::cli {

namespace {

// From the page index: no page is decoded.
void writePages(std::ostringstream& out, const job::PageList& pages) {
    out << '[';
    for (size_t i = 0; i < pages.size(); ++i) {
        const job::PageShape p = pages.shape(i);
        out << (i ? ", " : "") << "{\"kind\":" << p.kind << ",\"width\":" << p.width << ",\"height\":" << p.height
            << ",\"stride\":" << p.stride << '}';
    }
    out << ']';
}

} // namespace

std::string jobSummaryJson(const job::Document& doc) {
    std::ostringstream out;
    out << "{\"model\": " << doc.m_printerType << ", \"emboss\": ";
    writePages(out, doc.m_embPages);
    out << ", \"ink\": ";
    writePages(out, doc.m_inkPages);
    out << '}';
    return out.str();
}

} // namespace brelmont::cli
