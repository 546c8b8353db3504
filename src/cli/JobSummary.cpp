#include "cli/JobSummary.h"

#include <sstream>

namespace brelmont::cli {

namespace {

void writePages(std::ostringstream& out, const std::vector<job::PagePtr>& pages) {
    out << '[';
    for (size_t i = 0; i < pages.size(); ++i) {
        const job::PageData& p = *pages[i];
        out << (i ? ", " : "") << "{\"kind\":" << p.m_kind << ",\"width\":" << p.m_width << ",\"height\":" << p.m_height
            << ",\"stride\":" << p.m_stride << '}';
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
