// Decodes a whole job in the embosser's escape-sequence language into pages, filed into a document.
#pragma once

#include "job/JobStream.h"
#include "job/PageData.h"

#include <cstdint>
#include <iosfwd>
#include <vector>

namespace brelmont::job {

class CellCursor;
class Document;

class TclParser : public JobStream {
public:
    static constexpr int64_t ParamForm = 65;        // "A"
    static constexpr int64_t ParamReset = 69;       // "E"
    static constexpr int64_t ParamFuse = 70;        // "F"
    static constexpr int64_t ParamSource = 72;      // "H"
    static constexpr int64_t ParamInkQuality = 81;  // "Q"
    static constexpr int64_t ParamPlanes = 85;      // "U"
    static constexpr int64_t ParamU = 85;           // "U"
    static constexpr int64_t ControlMask = 0xC0;
    static constexpr int64_t ControlNextLine = 0xC0;
    static constexpr int64_t ControlRepeat = 0x80;

    static constexpr uint8_t HeaderEmboss = 4;
    static constexpr uint8_t HeaderInk = 5;
    static constexpr uint8_t HeaderPcl3gui = 134;

    // Decodes the whole job at once, filing pages into `doc`; diagnostic lines go to `diagnostics`.
    TclParser(Document& doc, Bytes data, std::ostream& diagnostics);

    // 0 when the job is used up; negative when decoding ended early (filed pages stay).
    int64_t load();

    int64_t m_result = 0;
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
    PagePtr m_createdPage;
    int64_t m_printerType = 0;
    int64_t m_dryTime = 3;
    int64_t m_autoPerf = 0;
    int64_t m_fuseFlag = 0;
    int64_t m_planes = 1;

private:
    struct Header;

    int64_t parseEscape();
    int64_t parseEscapeGroup(int64_t group);
    int64_t execute(int64_t group, int64_t param, int64_t letter, int64_t n);
    int64_t startRaster(int64_t n);
    PagePtr makePage(int64_t width, int64_t height, int64_t kind);
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

    Document& m_doc;
    std::ostream& m_diagnostics;
    std::vector<uint8_t> m_scratch; // one expanded row
};

} // namespace brelmont::job
