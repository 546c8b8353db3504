// Emboss pages as a BRF file: North American ASCII braille, the form that braille transcription
// programs open. Only six-dot cells have ASCII characters; 8-dot pages and graphics are left out.
#pragma once

#include "job/PageList.h"
#include "viewer/braille/BraillePage.h"

#include <cstdint>
#include <string>
#include <vector>

namespace brelmont::viewer {

// The ASCII character of a six-dot cell (bit 0 = dot 1 ... bit 5 = dot 6; higher bits ignored).
char brfCharacter(uint8_t dots);

// One page: each line's characters followed by CR LF.
std::string brfPage(const std::vector<BrailleLine>& lines);

struct BrfExport {
    std::string text; // the pages written, a form feed between two pages
    int64_t pagesWritten = 0;
    std::vector<std::string> leftOut; // a sentence for each page left out, in page order
    std::string failure;              // why the export stopped (a page could not be made); write nothing then
};

// Every emboss page in order, each decoded once and not kept. A blank page is an empty page.
BrfExport exportBrf(const job::PageList& embossPages);

} // namespace brelmont::viewer
