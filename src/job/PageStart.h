// Where a page of a job starts, and a page as the job files it: what a page index keeps.
#pragma once

#include "job/Diagnostic.h"
#include "job/PageData.h"

#include <cstdint>
#include <vector>

namespace brelmont::job {

// The settings and raster state of the language, as the parser keeps them: everything the decoding
// of a page depends on, so that a page can be decoded again from where it starts. The order is that
// of the parser's fields.
struct TclState {
    // Job settings; of these only the resolution (m_dpi) shapes pages.
    int64_t m_duplexMode = 0, m_dpi = 20, m_brailleForce = 1, m_quality = 1, m_inkQuality = 1, m_paperSource = 0;
    int64_t m_paperForm = 112, m_mediaType = 12, m_minCustPForce = 1, m_maxCustPForce = 0, m_language = 0;
    // The raster being decoded.
    int64_t m_rasterMode = 0, m_paperWidth = 0, m_paperHeight = 0, m_compression = 0, m_y = 0, m_v = 0;
    // The model the job names so far, and settings from ink and binary headers.
    int64_t m_printerType = 0, m_dryTime = 3, m_autoPerf = 0, m_fuseFlag = 0, m_planes = 1;
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
