// Decodes a job in the embosser's escape-sequence language into pages, handed over as they are filed.
#pragma once

#include "job/Diagnostic.h"
#include "job/JobStream.h"
#include "job/PageData.h"
#include "job/PageStart.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

namespace brelmont::job {

class CellCursor;

class TclParser : public JobStream, public TclState {
public:
    static constexpr int64_t ParamForm = 65;       // "A"
    static constexpr int64_t ParamReset = 69;      // "E"
    static constexpr int64_t ParamFuse = 70;       // "F"
    static constexpr int64_t ParamSource = 72;     // "H"
    static constexpr int64_t ParamInkQuality = 81; // "Q"
    static constexpr int64_t ParamPlanes = 85;     // "U"
    static constexpr int64_t ParamU = 85;          // "U"
    static constexpr int64_t ControlMask = 0xC0;
    static constexpr int64_t ControlNextLine = 0xC0;
    static constexpr int64_t ControlRepeat = 0x80;

    static constexpr uint8_t HeaderEmboss = 4;
    static constexpr uint8_t HeaderInk = 5;
    static constexpr uint8_t HeaderPcl3gui = 134;

    // Make: every page is made and decoded as it comes. Describe: no page buffer is made and no
    // row is written; pages are described (shape, where they start), which is all a page index needs.
    enum class Pixels { Make, Describe };
    using Sink = std::function<void(FiledPage&&)>;

    // Decodes the whole job at once, handing each filed page to `sink`. No page larger than
    // `pageLimit` bytes is made; such a page is reported and left out.
    TclParser(Bytes data, Pixels pixels, Sink sink, int64_t pageLimit = PageData::MaxBufferSize);

    // Decodes one page of the job from where it starts, and nothing after it.
    static FiledPage decodePage(Bytes data, const PageStart& start, int64_t pageLimit = PageData::MaxBufferSize);

    // 0 when the job is used up; negative when decoding ended early (pages filed before stay).
    int64_t load();

    int64_t m_result = 0;
    std::vector<Diagnostic> m_diagnostics; // in job order; a failure is the last

private:
    struct Header;

    TclParser(Bytes data, Pixels pixels, Sink sink, int64_t pageLimit, const PageStart& resume);

    int64_t parseEscape();
    int64_t parseEscapeGroup(int64_t group);
    int64_t execute(int64_t group, int64_t param, int64_t letter, int64_t n);
    int64_t startRaster(int64_t n);
    void makePage(int64_t width, int64_t height, int64_t kind);
    void reportPageNotMade(int64_t width, int64_t height, int64_t kind);
    PageData* pagePixels() const { return m_createdPage ? m_createdPage->pixels.get() : nullptr; }
    void filePage();
    int64_t configurationText(int64_t n);
    int64_t resolution(int64_t n);

    int64_t decodeRow(int64_t n);
    int64_t decodePlane(int64_t n);
    int64_t decodePositionRow(int64_t n);
    int64_t expandRgbComponent(Bytes data, int64_t n, int64_t component);
    int64_t unpackInto(Bytes data, int64_t n, int64_t fit);
    int64_t advanceRow();

    int64_t parseBinaryHeader(uint8_t type);
    int64_t embossHeader(const Header& h, bool marked);
    void setMediaAndForce(const Header& h, bool marked);
    int64_t decodeEmbossBlock(int64_t width, int64_t height);
    int64_t decodeInkBlock(int64_t width, int64_t height);
    int64_t decodeBinaryRaster(CellCursor& cells);
    void parsePcl3guiBlock(int64_t n);

    const Pixels m_pixels;
    const Sink m_sink;
    const int64_t m_pageLimit;
    std::optional<FiledPage> m_createdPage; // the page being built

    // Where the escape sequence being decoded began, and the state before it: the start of any
    // page it makes.
    int64_t m_commandStart = 0;
    TclState m_stateBefore;
    // Pages filed so far, for their numbers in reports and for the ordinals of their starts.
    int64_t m_embossFiled = 0, m_inkFiled = 0;
    int64_t m_lastFiledOffset = -1, m_lastOrdinal = 0;
    // Decoding one page: pages filed since the resumed start; the wanted one stops decoding.
    bool m_resumed = false;
    int64_t m_wanted = 0, m_filedSinceResume = 0;
    bool m_stop = false;

    std::vector<uint8_t> m_scratch; // one expanded row
};

// A whole job decoded at once: its pages by list, the model code it names, how decoding ended
// and what it reported.
struct DecodedJob {
    std::vector<FiledPage> emboss, ink;
    int64_t printerType = 0;
    int64_t result = 0;
    std::vector<Diagnostic> diagnostics;
};

// With Pixels::Make every page is made as the job files it (the eager decoding that pages decoded
// on demand must equal); with Pixels::Describe this is the page index of the job.
DecodedJob decodeJob(Bytes data, TclParser::Pixels pixels, int64_t pageLimit = PageData::MaxBufferSize);

} // namespace brelmont::job
