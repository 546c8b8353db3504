// Emboss pages in the job language of the queue's model, written page by page as they come.
#pragma once

#include "driver/ModelProfiles.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace brelmont::driver {

struct JobSettings {
    std::string name;        // the job's name, in its PJL line
    int brailleForce = 1;    // 0 low, 1 medium, 2 high
    int embossQuality = 1;   // 0 draft, 1 normal, 2 high
    bool interpoint = false; // both sides of the sheet
    // On models with an ink module, for jobs with ink pages: the queue's "PrintMode" value, which
    // tells the embosser whether an ink page shares its sheet with the emboss page. -1: none.
    int printMode = -1;
    int inkQuality = 1; // 0 draft, 1 normal, 2 best
};

// An ink page as the model's ink module takes it: RGB triples, or one byte per pixel where
// non-zero is a black dot, `dpi` pixels per inch.
struct InkImage {
    int64_t width = 0, height = 0, dpi = 300;
    bool rgb = false;
    std::vector<uint8_t> pixels;
};

class JobEncoder {
public:
    // `write` takes each piece of the job in order; false from it stops the job.
    using Write = std::function<bool(std::string_view bytes)>;

    JobEncoder(const ModelProfile& profile, JobSettings settings, Write write);

    // One emboss page (width x height positions, row by row). The job's opening goes before the
    // first page. False when the bytes could not be written.
    bool page(const std::vector<uint8_t>& raster, int64_t width, int64_t height);
    // One ink page, in the model's ink form (none is an error).
    bool inkPage(const InkImage& image);
    // The job's end; nothing when no page was written.
    bool finish();

    int64_t pagesWritten() const { return m_pages; }

private:
    bool begin();
    bool put(const std::vector<uint8_t>& bytes);

    const ModelProfile& m_profile;
    JobSettings m_settings;
    Write m_write;
    int64_t m_pages = 0;
    bool m_unitChanged = false; // an ink raster left the row resolution at its own
};

// The dot level the embosser raises for a braille force (0 low, 1 medium, 2 high).
uint8_t dotLevel(int brailleForce);

} // namespace brelmont::driver
