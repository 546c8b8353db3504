// Hands the sheets of a job to the encoder: the copies, collated or not, and for interpoint the
// back pages half a line lower and a blank back where a copy ends on a front.
#pragma once

#include "driver/layout/PageComposer.h"
#include "driver/layout/PageRaster.h"
#include "driver/output/JobEncoder.h"

#include <cstdio>
#include <memory>
#include <optional>
#include <vector>

namespace brelmont::driver {

// One sheet: braille, over a tactile graphic where there is one, and an ink page printed on the
// same sheet; or an ink page alone.
struct Sheet {
    ComposedPage braille;
    std::vector<uint8_t> graphic; // emboss levels of the whole sheet; empty for none
    std::shared_ptr<const InkImage> ink;
    bool emboss = true; // false: the ink page alone
};

class SheetEmitter {
public:
    SheetEmitter(JobEncoder& encoder, const PageFrame& frame, bool interpoint, int copies, bool collate, std::FILE* log);

    // Collated copies each run the document through add(); uncollated ones repeat each sheet.
    int passes() const { return m_collate ? m_copies : 1; }
    bool add(const Sheet& sheet);
    // The end of one pass over the document.
    bool endPass(bool last);

private:
    bool emit(const Sheet& sheet);

    JobEncoder& m_encoder;
    const PageFrame& m_frame;
    bool m_interpoint;
    int m_copies;
    bool m_collate;
    std::FILE* m_log;
    bool m_onBack = false;
    int64_t m_sheets = 0;
    std::optional<Sheet> m_front;
};

} // namespace brelmont::driver
