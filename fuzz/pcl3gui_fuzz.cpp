// PCL3GUI blocks on their own, as the job decoder hands them over. Whatever is done with the rows,
// the block must leave the same page: checking them finds the same faults as decoding them, and
// with one raster start passing them over is enough to know the page.
#include "job/HPPclParser.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using brelmont::job::HPPclParser;
    constexpr int64_t PageLimit = int64_t(64) << 20;
    const brelmont::job::Bytes block(data, size);
    const HPPclParser decoded(block, PageLimit, HPPclParser::Rows::Decode);
    const HPPclParser checked(block, PageLimit, HPPclParser::Rows::Check);
    const HPPclParser passed(block, PageLimit, HPPclParser::Rows::PassOver);
    const auto samePage = [&](const HPPclParser& p) {
        return p.m_hasPage == decoded.m_hasPage && p.m_pageWidth == decoded.m_pageWidth && p.m_pageHeight == decoded.m_pageHeight;
    };
    if (!samePage(checked) || checked.m_result != decoded.m_result || checked.m_failedAt != decoded.m_failedAt) std::abort();
    if (passed.m_rasterStarts <= 1 && !samePage(passed)) std::abort();
    return 0;
}
