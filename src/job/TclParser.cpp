#include "job/TclParser.h"

#include "job/CellCursor.h"
#include "job/HPPclParser.h"
#include "job/ModelCodes.h"
#include "job/PackBits.h"

#include <algorithm>
#include <cstring>
#include <string>

namespace brelmont::job {

// The 16 bytes of a binary raster header, h0 (ESC) to h15.
struct TclParser::Header {
    uint8_t h[16];

    int64_t width() const { return h[5] | h[6] << 8; }
    int64_t height() const { return h[7] | h[8] << 8; }
    int64_t blockLength() const { return int64_t(h[10]) | int64_t(h[11]) << 8 | int64_t(h[12]) << 16 | int64_t(h[13]) << 24; }
    int64_t checkValue() const { return h[14] | h[15] << 8; }
    bool marked() const { return h[14] == 5 && h[15] == 0; }
    int64_t sum() const {
        int64_t s = 0;
        for (int i = 0; i < 14; ++i) s += h[i];
        return s;
    }
};

TclParser::TclParser(Bytes data, Pixels pixels, Sink sink, int64_t pageLimit)
    : JobStream(data),
      m_pixels(pixels),
      m_sink(std::move(sink)),
      m_pageLimit(pageLimit) {
    m_result = load();
    if (m_result < 0) m_diagnostics.push_back(failureDiagnostic(m_result, m_commandStart, "loading PRN file failed"));
}

// Resumes at a page's start with the state it had there; decoding stops once that page is filed.
TclParser::TclParser(Bytes data, Pixels pixels, Sink sink, int64_t pageLimit, const PageStart& resume)
    : JobStream(data),
      TclState(resume.state),
      m_pixels(pixels),
      m_sink(std::move(sink)),
      m_pageLimit(pageLimit),
      m_resumed(true),
      m_wanted(resume.ordinal) {
    m_seek = std::clamp<int64_t>(resume.offset, 0, m_count);
    m_result = load();
}

FiledPage TclParser::decodePage(Bytes data, const PageStart& start, int64_t pageLimit) {
    FiledPage found;
    const TclParser parser(
        data, Pixels::Make, [&found](FiledPage&& page) { found = std::move(page); }, pageLimit, start);
    found.start = start;
    return found;
}

int64_t TclParser::load() {
    while (!m_stop) {
        m_commandStart = m_seek;
        const int b = readByte();
        if (b == Missing) return 0;
        if (b == 0 || b == FormFeed) continue;
        if (b == Escape) {
            const int64_t r = parseEscape();
            if (r < 0) return r;
        } else if (b == At) {
            const std::string line = readLine();
            if (const int64_t code = modelCodeForPjlLine(line)) m_printerType = code;
            else if (line.find("ENTER LANGUAGE=TCL") != std::string::npos) m_language = 1;
        } else {
            return -1;
        }
    }
    return 0;
}

// Sequences that can make a page (raster starts, binary headers) keep the state before them.
int64_t TclParser::parseEscape() {
    const uint8_t b = readByteOr(0xFF);
    if (b >= GroupAmpersand && b <= GroupPlus) {
        if (b == GroupAsterisk && peekByte() == CommandR) m_stateBefore = *this;
        return parseEscapeGroup(b);
    }
    if (b == ParamReset) return 0;
    if (b == GroupPercent) {
        if (!readUniversalExit()) return -1;
        m_diagnostics.push_back({DiagnosticCategory::Notice, m_commandStart, "UEL command ok"});
        m_language = 0;
        return 0;
    }
    m_stateBefore = *this;
    return parseBinaryHeader(b);
}

int64_t TclParser::parseEscapeGroup(int64_t group) {
    return parseSequence(group, [&](int64_t param, int64_t letter, int64_t n) { return execute(group, param, letter, n); });
}

namespace {

int64_t oneOf3(int64_t n) { return n == 0 ? 0 : n == 2 ? 2 : 1; }

bool isKnownMediaType(int64_t n) {
    static constexpr int64_t known[] = {0, 2, 3, 11, 12, 13, 14, 15, 16, 17};
    return std::find(std::begin(known), std::end(known), n) != std::end(known);
}

int64_t dpiFor(int64_t n) { return n == 100 || n == 300 ? n : 20; }

} // namespace

int64_t TclParser::execute(int64_t group, int64_t param, int64_t letter, int64_t n) {
    if (group == GroupAmpersand) {
        if (param == CommandU && letter == ParamDensity) m_dpi = dpiFor(n);
        else if (param == CommandB && letter == ParamW) return configurationText(n);
        else if (param == CommandL) {
            switch (letter) {
            case ParamForm: m_paperForm = n; break;
            case ParamSource: m_paperSource = n; break;
            case ParamMediaType: m_mediaType = isKnownMediaType(n) ? n : 30; break;
            case ParamBrailleForce: m_brailleForce = oneOf3(n); break;
            case ParamDuplex: m_duplexMode = n != 0; break;
            }
        }
        return 0;
    }
    if (group != GroupAsterisk) return 0;
    switch (param) {
    case CommandA:
        if (letter == ParamFuse) m_fuseFlag = n == 1;
        return 0;
    case CommandB:
        switch (letter) {
        case ParamCompression: m_compression = n == 2 ? 2 : 0, m_v = 0; return 0;
        case ParamU: {
            const int64_t r = decodePositionRow(n);
            if (r < 0) return r;
            m_v = 0;
            return advanceRow();
        }
        case ParamV: ++m_v; return decodePlane(n);
        case ParamW: {
            m_v = 0;
            const int64_t r = decodeRow(n);
            return r < 0 ? r : advanceRow();
        }
        case ParamY: m_v = 0; return __builtin_add_overflow(m_y, n, &m_y) ? -1 : 0;
        default: return -2;
        }
    case CommandG: return letter == ParamW ? passOver(n) : 0;
    case CommandO:
        if (letter == ParamQuality) m_quality = oneOf3(n);
        else if (letter == ParamW) return passOver(n);
        return 0;
    case CommandR:
        switch (letter) {
        case ParamBeginRasterMode: return startRaster(n);
        case ParamEndRasterMode:
            m_rasterMode = 0;
            filePage();
            return 0;
        case ParamInkQuality: m_inkQuality = n == 2 ? 2 : 1; return 0;
        case ParamWidth: m_paperWidth = n; return 0;
        case ParamHeight: m_paperHeight = n; return 0;
        case ParamPlanes: m_planes = n; return 0;
        }
        return 0;
    case CommandT: return letter == ParamR ? resolution(n) : 0;
    default: return 0;
    }
}

int64_t TclParser::advanceRow() { return __builtin_add_overflow(m_y, 1, &m_y) ? -1 : 0; }

// A raster page can only be made at a matching resolution; a page too large to make leaves the
// raster without a page, so its rows are read and dropped.
int64_t TclParser::startRaster(int64_t n) {
    m_y = 0;
    int64_t kind = 0;
    switch (n) {
    case 1: kind = m_dpi == 100 ? 2 : 1; break;
    case 2: kind = 3; break;
    case 3: kind = 4; break;
    default: m_rasterMode = 0; return -3;
    }
    m_rasterMode = n;
    if ((n == 2 && m_dpi != 100) || (n == 3 && m_dpi != 300)) return -3;
    makePage(m_paperWidth, m_paperHeight, kind);
    return 0;
}

// The page starts at the sequence being decoded. A page too large to make is reported and left
// out: its raster's rows are read and dropped.
void TclParser::makePage(int64_t width, int64_t height, int64_t kind) {
    m_createdPage.reset();
    const int64_t size = PageData::bufferSize(width, height, kind, m_pageLimit);
    if (size < 0) return reportPageNotMade(width, height, kind);
    FiledPage page;
    page.shape = {kind, width, height, PageData::strideFor(width, kind), size};
    page.start = {m_commandStart, m_stateBefore, 0};
    if (m_pixels == Pixels::Make && !m_stop) {
        page.pixels = PageData::create(width, height, kind, m_pageLimit);
        if (!page.pixels)
            page.notes.push_back({DiagnosticCategory::PageError, m_commandStart, "there is not enough memory to make the page"});
    }
    m_createdPage = std::move(page);
}

void TclParser::reportPageNotMade(int64_t width, int64_t height, int64_t kind) {
    if (m_resumed) return; // reported when the job was opened
    const bool emboss = PageData::isEmbossKind(kind);
    m_diagnostics.push_back({DiagnosticCategory::PageError, m_commandStart,
                             std::string(emboss ? "emboss" : "ink") + " page " +
                                 std::to_string((emboss ? m_embossFiled : m_inkFiled) + 1) + " cannot be made (" +
                                 std::to_string(width) + " by " + std::to_string(height) + (kind == 4 ? " pixels" : " cells") +
                                 "); it is left out"});
}

// A page is filed once: filing leaves no current page. Pages made by one sequence are counted,
// so that each can be found again from that sequence.
void TclParser::filePage() {
    if (!m_createdPage) return;
    FiledPage page = std::move(*m_createdPage);
    m_createdPage.reset();
    if (m_resumed) {
        if (m_filedSinceResume++ != m_wanted) return;
        m_stop = true;
    } else {
        if (page.start.offset == m_lastFiledOffset) {
            page.start.ordinal = ++m_lastOrdinal;
        } else {
            m_lastFiledOffset = page.start.offset;
            m_lastOrdinal = 0;
        }
        ++(PageData::isEmbossKind(page.shape.kind) ? m_embossFiled : m_inkFiled);
    }
    m_sink(std::move(page));
}

int64_t TclParser::configurationText(int64_t n) {
    if (n < 0) return -1;
    const Bytes text = take(n);
    m_printerType =
        modelCodeForConfiguration(std::string_view(reinterpret_cast<const char*>(text.data()), text.size()), m_printerType);
    return 0;
}

int64_t TclParser::resolution(int64_t n) {
    int64_t w = 0, h = 0;
    if (__builtin_mul_overflow(m_paperWidth, n, &w) || __builtin_mul_overflow(m_paperHeight, n, &h)) return -1;
    m_paperWidth = w / m_dpi;
    m_paperHeight = h / m_dpi;
    m_dpi = dpiFor(n);
    return 0;
}

// Rows are PackBits-expanded whatever the compression command said. Bytes missing at the end of
// the job read as 0xFF; writes beyond the page, and rows with no page, are dropped.
int64_t TclParser::decodeRow(int64_t n) {
    if (n < 0) return -1;
    const Bytes data = take(n);
    PageData* page = pagePixels();
    uint8_t* row = page ? page->row(m_y) : nullptr;
    const int64_t pageWidth = row ? page->m_width : 0;

    switch (m_rasterMode) {
    case 1: {
        const int64_t made = unpackInto(data, n, pageWidth);
        if (row) std::memcpy(row, m_scratch.data(), size_t(std::min(made, pageWidth)));
        return made == m_paperWidth ? 0 : -2;
    }
    case 2: {
        const int64_t bytes = m_paperWidth / 8 + (m_paperWidth % 8 != 0);
        const int64_t fit = (pageWidth + 7) / 8;
        const int64_t made = unpackInto(data, n, fit);
        // Set bits make ink; clear bits leave the cell as it was.
        const int64_t cells = std::min({pageWidth, m_paperWidth, 8 * std::min(made, fit)});
        for (int64_t x = 0; x < cells; x += 8)
            if (const uint8_t byte = m_scratch[size_t(x / 8)]) orBitCells(row + x, byte, std::min<int64_t>(8, cells - x));
        return made == bytes ? 0 : -2;
    }
    case 3: return expandRgbComponent(data, n, m_v == 1 ? 0 : m_v == 0 ? 2 : 1);
    default: return 0;
    }
}

int64_t TclParser::decodePlane(int64_t n) {
    if (n < 0) return -1;
    return expandRgbComponent(take(n), n, m_v == 1 ? 0 : m_v == 0 ? 2 : 1);
}

// One colour component of an RGB row: byte k goes to byte 3k + component of the row.
int64_t TclParser::expandRgbComponent(Bytes data, int64_t n, int64_t component) {
    PageData* page = pagePixels();
    uint8_t* row = page && page->m_kind == 4 ? page->row(m_y) : nullptr;
    const int64_t fit = row ? page->m_width : 0;
    const int64_t made = unpackInto(data, n, fit);
    const int64_t pixels = std::min(made, fit);
    for (int64_t k = 0; k < pixels; ++k) row[3 * k + component] = m_scratch[size_t(k)];
    return made == m_paperWidth ? 0 : -2;
}

// Expands a row into m_scratch, of which the first `fit` bytes are kept.
int64_t TclParser::unpackInto(Bytes data, int64_t n, int64_t fit) {
    m_scratch.resize(size_t(fit + UnpackSlack));
    return unpackBits(m_scratch.data(), fit, data, n);
}

// Distances to the next dot: runs of 255 closed by one byte below 255. Bytes past the end of the
// job would read as 0xFF and so close no entry: the list stops at the end of the data.
int64_t TclParser::decodePositionRow(int64_t n) {
    if (n < 0) return -1;
    const Bytes list = take(n);
    PageData* page = pagePixels();
    uint8_t* row = page ? page->row(m_y) : nullptr;
    const int64_t limit = std::min<int64_t>(m_paperWidth, int64_t(list.size()));
    int64_t position = 0;
    for (int64_t i = 0; i < limit; ++i) {
        const uint8_t d = list[size_t(i)];
        position += d;
        if (d < 255 && row && position < m_paperWidth && position < page->m_width) row[position] = 15;
    }
    return 0;
}

int64_t TclParser::parseBinaryHeader(uint8_t type) {
    Header h{};
    h.h[0] = uint8_t(Escape);
    h.h[1] = type;
    for (int i = 2; i < 16; ++i) h.h[i] = readByteOr(0xFF);

    if (h.marked()) {
        m_printerType = model::Quorrin;
        if (type == HeaderEmboss) return embossHeader(h, true);
        if (type != HeaderPcl3gui) return 0;
        // The length field counts the header's 16 bytes too; less than that cannot be a block.
        const int64_t length = h.blockLength() - 16;
        if (length < 0) return -1;
        parsePcl3guiBlock(length);
        m_dryTime = h.h[3] == 0 ? 1 : std::min<int64_t>(h.h[3], 16);
        filePage();
        return 0;
    }
    const int64_t check = h.checkValue(), sum = h.sum();
    if (type == HeaderInk) {
        if (check != sum + 4) {
            m_printerType = model::None;
            return 0;
        }
        m_printerType = model::VeskInk;
        makePage(h.width(), h.height(), 3);
        const int64_t r = decodeInkBlock(h.width(), h.height());
        if (r < 0) return r;
        filePage();
        return 0;
    }
    if (type == HeaderEmboss) {
        if (check == sum + 3) m_printerType = model::Pim;
        else if (check == sum + 4) m_printerType = model::VeskInk;
        else {
            m_printerType = model::None;
            return 0;
        }
        m_autoPerf = h.h[3] & 1;
        setMediaAndForce(h, false);
        return embossHeader(h, false);
    }
    m_printerType = UnknownHeaderModel;
    return 0;
}

// The emboss raster that follows a type 4 header; a marked header sets media and force after it.
int64_t TclParser::embossHeader(const Header& h, bool marked) {
    makePage(h.width(), h.height(), 1);
    const int64_t r = decodeEmbossBlock(h.width(), h.height());
    if (r < 0) return r;
    if (marked) setMediaAndForce(h, true);
    filePage();
    return 0;
}

// Media from a type 4 header: a = media class (bits 4-6 of h3), p = h4, q = h9. The marked and
// the summed headers name the same two special media by different values of p and q.
void TclParser::setMediaAndForce(const Header& h, bool marked) {
    const int64_t a = (h.h[3] >> 4) & 7, p = h.h[4], q = h.h[9];
    const int64_t firstP = marked ? 7 : 2, firstQ = marked ? 18 : 14;
    const int64_t thirdP = marked ? 4 : 2, thirdQ = marked ? 18 : 12, thirdMedia = marked ? 16 : 13;
    static constexpr int64_t byClass[8] = {0, 12, 2, 11, 3, 13, 14, 16};

    if (a == 0 && p == firstP && q == firstQ) {
        m_mediaType = 14;
    } else if (m_mediaType == 0 && p == thirdP && q == thirdQ) {
        m_mediaType = thirdMedia;
    } else if (q != 0) {
        m_mediaType = 30;
        m_minCustPForce = p;
        m_maxCustPForce = q;
    } else {
        m_mediaType = byClass[a];
    }
    const int force = h.h[2] & 3;
    m_brailleForce = force == 2 ? 1 : force == 3 ? 2 : 0;
}

int64_t TclParser::decodeEmbossBlock(int64_t width, int64_t height) {
    CellCursor cells(pagePixels(), width, height, CellCursor::Unit::Cell);
    return decodeBinaryRaster(cells);
}

int64_t TclParser::decodeInkBlock(int64_t width, int64_t height) {
    CellCursor cells(pagePixels(), width, height, CellCursor::Unit::Bits);
    return decodeBinaryRaster(cells);
}

// Control bytes until the raster's last row is passed: literals and repeats of byte pairs, and
// line feeds. Data bytes missing at the end of the job read as 0xFF.
int64_t TclParser::decodeBinaryRaster(CellCursor& cells) {
    while (!cells.pastLastRow()) {
        const int c = readByte();
        if (c == Missing) return -2;
        if (c < 0x40 || (c >= ControlRepeat && c < ControlNextLine)) {
            const int lo = readByte();
            if (lo == Missing) return -1;
            const int64_t count = (c & 0x3F) * 256 + lo;
            if (c < 0x40) {
                const Bytes data = take(2 * count);
                cells.put(data.data(), int64_t(data.size()));
                cells.putRepeated(0xFF, 2 * count - int64_t(data.size()));
            } else {
                const int a = readByte(), b = readByte();
                if (a == Missing || b == Missing) return -1;
                cells.putPairs(uint8_t(a), uint8_t(b), count);
            }
        } else if (c == ControlNextLine) {
            const int d = readByte();
            if (d == Missing) return -1;
            cells.nextLine(d);
        }
    }
    return 0;
}

// The page of a colour block is the one its last raster start made. Without pixels the rows are
// only passed over, unless the block starts more than one raster: a damaged row can then end it
// before a later start, and only decoding the rows tells which page it leaves.
void TclParser::parsePcl3guiBlock(int64_t n) {
    using Rows = HPPclParser::Rows;
    m_createdPage.reset();
    const int64_t blockAt = m_seek;
    const Bytes block = take(n);
    // A job cut inside its colour block would otherwise open as if the block were whole.
    if (int64_t(block.size()) < n)
        m_diagnostics.push_back({DiagnosticCategory::ColourBlockError, blockAt,
                                 "the colour block announces " + std::to_string(n) + " bytes, but the job ends after " +
                                     std::to_string(block.size()) + "; its ink page shows only the rows before the cut"});
    const bool make = m_pixels == Pixels::Make && !m_stop;
    std::optional<HPPclParser> parser;
    parser.emplace(block, m_pageLimit, make ? Rows::Decode : Rows::PassOver);
    if (!make && parser->m_rasterStarts > 1) parser.emplace(block, m_pageLimit, Rows::Check);
    if (!parser->m_hasPage) {
        if (parser->m_rasterStarts > 0) reportPageNotMade(parser->m_pageWidth, parser->m_pageHeight, 4);
        return;
    }
    FiledPage page;
    page.shape = PageShape{4, parser->m_pageWidth, parser->m_pageHeight, PageData::strideFor(parser->m_pageWidth, 4),
                           PageData::bufferSize(parser->m_pageWidth, parser->m_pageHeight, 4)};
    page.start = {m_commandStart, m_stateBefore, 0};
    page.pixels = parser->m_page;
    if (make && parser->m_result < 0)
        page.notes.push_back({DiagnosticCategory::ColourBlockError, blockAt + parser->m_failedAt,
                              std::string("the colour block ends early (") +
                                  (parser->m_result == -2 ? "the data ends inside a row command"
                                                          : "a byte that starts no command, a bad operand or a damaged row") +
                                  "); the ink page shows the rows decoded before"});
    m_createdPage = std::move(page);
}

DecodedJob decodeJob(Bytes data, TclParser::Pixels pixels, int64_t pageLimit) {
    DecodedJob job;
    const TclParser parser(
        data, pixels,
        [&job](FiledPage&& page) { (PageData::isEmbossKind(page.shape.kind) ? job.emboss : job.ink).push_back(std::move(page)); },
        pageLimit);
    job.printerType = parser.m_printerType;
    job.result = parser.m_result;
    job.diagnostics = parser.m_diagnostics;
    return job;
}

} // namespace brelmont::job
