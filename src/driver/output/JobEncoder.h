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
};

class JobEncoder {
public:
    // `write` takes each piece of the job in order; false from it stops the job.
    using Write = std::function<bool(std::string_view bytes)>;

    JobEncoder(const ModelProfile& profile, JobSettings settings, Write write);

    // One emboss page (width x height positions, row by row). The job's opening goes before the
    // first page. False when the bytes could not be written.
    bool page(const std::vector<uint8_t>& raster, int64_t width, int64_t height);
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
};

// The dot level the embosser raises for a braille force (0 low, 1 medium, 2 high).
uint8_t dotLevel(int brailleForce);

} // namespace brelmont::driver
