#include "driver/output/SheetEmitter.h"

namespace brelmont::driver {

SheetEmitter::SheetEmitter(JobEncoder& encoder, const PageFrame& frame, bool interpoint, int copies, bool collate, std::FILE* log)
    : m_encoder(encoder),
      m_frame(frame),
      m_interpoint(interpoint),
      m_copies(copies),
      m_collate(collate),
      m_log(log) {}

bool SheetEmitter::add(const Sheet& sheet) {
    if (m_collate || m_copies == 1) return emit(sheet);
    if (!m_interpoint) {
        for (int c = 0; c < m_copies; ++c)
            if (!emit(sheet)) return false;
        return true;
    }
    if (!m_front) {
        m_front = sheet;
        return true;
    }
    for (int c = 0; c < m_copies; ++c)
        if (!emit(*m_front) || !emit(sheet)) return false;
    m_front.reset();
    return true;
}

bool SheetEmitter::endPass(bool last) {
    if (m_front) {
        for (int c = 0; c < m_copies; ++c)
            if (!emit(*m_front) || (c + 1 < m_copies && !emit(Sheet{}))) return false;
        m_front.reset();
    }
    if (m_interpoint && m_onBack && !last && !emit(Sheet{})) return false;
    return true;
}

bool SheetEmitter::emit(const Sheet& sheet) {
    const int64_t shift = m_interpoint && m_onBack ? interpointShift(m_frame) : 0;
    if (sheet.emboss && !m_encoder.page(rasterOver(sheet.graphic, sheet.braille, m_frame, shift), m_frame.width, m_frame.height))
        return false;
    if (sheet.ink && !m_encoder.inkPage(*sheet.ink)) return false;
    std::fprintf(m_log, "PAGE: %lld 1\n", static_cast<long long>(++m_sheets));
    if (m_interpoint) m_onBack = !m_onBack;
    return true;
}

} // namespace brelmont::driver
