// Where a page of a job starts, and a page as the job files it: what a page index keeps.
#pragma once

#include "job/Diagnostic.h"
#include "job/PageData.h"

#include <cstdint>
#include <vector>

namespace brelmont::job {

// The settings and raster state of the language: everything the decoding of a page depends on,
// so that a page can be decoded again from where it starts.
struct TclState {
    int64_t m_duplexMode = 0;
    int64_t m_dpi = 20;
    int64_t m_brailleForce = 1;
    int64_t m_quality = 1;
    int64_t m_inkQuality = 1;
    int64_t m_paperSource = 0;
    int64_t m_paperForm = 112;
    int64_t m_mediaType = 12;
    int64_t m_minCustPForce = 1;
    int64_t m_maxCustPForce = 0;
    int64_t m_language = 0;
    int64_t m_rasterMode = 0;
    int64_t m_paperWidth = 0;
    int64_t m_paperHeight = 0;
    int64_t m_compression = 0;
    int64_t m_y = 0;
    int64_t m_v = 0;
    int64_t m_printerType = 0;
    int64_t m_dryTime = 3;
    int64_t m_autoPerf = 0;
    int64_t m_fuseFlag = 0;
    int64_t m_planes = 1;
};

// Where decoding a page begins: the escape sequence that makes it, the state before that
// sequence, and how many pages made by the same sequence are filed before it.
struct PageStart {
    int64_t offset = 0;
    TclState state;
    int64_t ordinal = 0;
};

// A page as the job files it.
struct FiledPage {
    PageShape shape;
    PageStart start;
    PagePtr pixels;                // none when pages are only described, or memory ran out
    std::vector<Diagnostic> notes; // what decoding the page's own data found (a colour block's fault)
};

} // namespace brelmont::job
