#include "job/HPPclParser.h"

#include "job/Pcl3guiRows.h"

#include <algorithm>
#include <cstring>

namespace brelmont::job {

HPPclParser::HPPclParser(Bytes data, int64_t pageLimit, Rows rows) : JobStream(data), m_pageLimit(pageLimit), m_rows(rows) {
    m_result = parse();
    m_failedAt = m_result < 0 ? m_commandStart : -1;
}

int64_t HPPclParser::parse() {
    for (;;) {
        m_commandStart = m_seek;
        const int b = readByte();
        if (b == Missing) return 0;
        if (b == 0 || b == FormFeed) continue;
        if (b == At) {
            if (readLine().find("ENTER LANGUAGE=PCL3GUI") != std::string::npos) m_language = LanguagePCL3GUI;
            continue;
        }
        if (b != Escape) return -1;
        const int g = readByte();
        if (g == Missing) return 0;
        if (g >= GroupAmpersand && g <= GroupPlus) {
            const int64_t r = parseEscapeGroup(g);
            if (r < 0) return r;
        } else if (g == GroupPercent) {
            if (!readUniversalExit()) return -1;
            m_language = 0;
        }
    }
}

int64_t HPPclParser::parseEscapeGroup(int64_t group) {
    return parseSequence(group, [&](int64_t param, int64_t letter, int64_t n) { return execute(group, param, letter, n); });
}

int64_t HPPclParser::execute(int64_t group, int64_t param, int64_t letter, int64_t n) {
    if (group == GroupAmpersand) {
        if (param == CommandU && letter == ParamDensity) m_dpi = n;
        else if (param == CommandL && letter == ParamMediaType) m_mediaType = n;
        else if (param == CommandL && letter == ParamDuplex) m_duplexMode = n;
        else if (param == CommandB && letter == ParamW) return passOver(n);
        return 0;
    }
    if (group != GroupAsterisk) return 0;
    switch (param) {
    case CommandO: return letter == ParamW ? passOver(n) : 0;
    case CommandG: return letter == ParamW ? configureRasterData(n) : 0;
    case CommandT: return letter == ParamR ? resolution(n) : 0;
    case CommandR:
        if (letter == ParamWidth) m_paperWidth = n;
        else if (letter == ParamHeight) m_paperHeight = n;
        else if (letter == ParamBeginRasterMode) startRaster(n);
        else if (letter == ParamEndRasterMode) endRaster();
        return 0;
    case CommandB:
        switch (letter) {
        case ParamCompression: m_compression = n, m_v = 0; return 0;
        case ParamV: return planeRow(n);
        case ParamW: return colourRow(n);
        case ParamY: return skipRows(n);
        default: return -2;
        }
    default: return 0;
    }
}

// A 12-byte block names the compression of the colour rows in its byte 8. A longer format-6
// block lists components of 8 bytes each (compression in their byte 4): one with compression 9
// is the black plane sent with ESC*b#V, one with compression 10 the colour plane sent with ESC*b#W.
int64_t HPPclParser::configureRasterData(int64_t n) {
    if (n < 0) return -1;
    const Bytes block = take(n);
    if (n == 12) {
        m_compression = block.size() > 8 ? block[8] : -1;
        m_blackPlane = false;
        return 0;
    }
    if (block.size() < 4 || block[0] != 6) return 0;
    const size_t declared = size_t(block[2]) << 8 | block[3];
    const size_t components = std::min(declared, (block.size() - 4) / 8);
    bool black = false, colour = false;
    for (size_t i = 0; i < components; ++i) {
        const uint8_t compression = block[4 + 8 * i + 4];
        black = black || compression == 9;
        colour = colour || compression == 10;
    }
    if (colour) m_compression = 10;
    else if (black) m_compression = 9;
    m_blackPlane = black && colour;
    return 0;
}

// Without a unit of measure the dimensions cannot be scaled, so they stay as they are.
int64_t HPPclParser::resolution(int64_t n) {
    if (m_dpi != 0) {
        int64_t w = 0, h = 0;
        if (__builtin_mul_overflow(m_paperWidth, n, &w) || __builtin_mul_overflow(m_paperHeight, n, &h)) return -1;
        m_paperWidth = w / m_dpi;
        m_paperHeight = h / m_dpi;
    }
    m_dpi = n;
    return 0;
}

// A page that cannot be made leaves the raster without rows: its data is still passed over. So
// does a page that no row can reach (no height), and one whose transmitted rows alone would
// exceed the largest page buffer (a damaged job: a very wide page of a single row).
void HPPclParser::startRaster(int64_t n) {
    m_rasterMode = n;
    ++m_rasterStarts;
    m_pageWidth = m_paperWidth, m_pageHeight = m_paperHeight;
    m_page = m_rows == Rows::Decode ? PageData::create(m_pageWidth, m_pageHeight, 4, m_pageLimit) : nullptr;
    m_hasPage = m_rows == Rows::Decode ? m_page != nullptr : PageData::bufferSize(m_pageWidth, m_pageHeight, 4, m_pageLimit) >= 0;
    m_rowsReady = m_rows != Rows::PassOver && m_hasPage && m_pageHeight > 0 && 6 * m_pageWidth <= PageData::MaxBufferSize;
    m_rowPixels = m_rowsReady ? 2 * m_pageWidth : 0;
    m_row.assign(size_t(3 * m_rowPixels), 0xFF);
    m_blackRow.assign(size_t((m_rowPixels + 7) / 8), 0);
    m_pageRow.assign(size_t(3 * m_rowPixels / 2), 0xFF);
    m_rowChanged = true;
    m_y = 0;
}

void HPPclParser::endRaster() {
    m_rasterMode = 0;
    m_rowsReady = false;
    m_row = {};
    m_blackRow = {};
    m_pageRow = {};
}

void HPPclParser::resetSeedRows() {
    std::fill(m_row.begin(), m_row.end(), 0xFF);
    std::fill(m_blackRow.begin(), m_blackRow.end(), 0);
    m_rowChanged = true;
}

// The black plane of a row comes before its colour row; other planes are passed over.
int64_t HPPclParser::planeRow(int64_t n) {
    if (n < 0 || n > remaining()) return -1;
    const Bytes data = take(n);
    ++m_v;
    if (m_rowsReady && m_blackPlane && m_v == 1 && decodeMode9Row(data, m_blackRow.data(), int64_t(m_blackRow.size())) < 0)
        return -1;
    return 0;
}

int64_t HPPclParser::colourRow(int64_t n) {
    if (n < 0 || n > remaining()) return -1;
    const Bytes data = take(n);
    if (m_rowsReady) {
        if (m_compression == 10) {
            if (decodeMode10Row(data, m_row.data(), m_rowPixels, m_rowChanged) < 0) return -1;
            transferColourRow(m_blackPlane && m_v >= 1);
        } else if (m_compression == 9) {
            if (decodeMode9Row(data, m_blackRow.data(), int64_t(m_blackRow.size())) < 0) return -1;
            transferBlackRow();
        }
    }
    if (__builtin_add_overflow(m_y, 1, &m_y)) return -1;
    m_v = 0;
    return 0;
}

int64_t HPPclParser::skipRows(int64_t n) {
    if (__builtin_add_overflow(m_y, n, &m_y)) return -1;
    m_v = 0;
    if (m_rowsReady) resetSeedRows();
    return 0;
}

// Page pixel j of page row y is transmitted pixel 2j of transmitted row 2y.
void HPPclParser::transferColourRow(bool withBlack) {
    if (m_y % 2 != 0 || !m_page) return;
    uint8_t* out = m_page->row(m_y / 2);
    const int64_t width = m_page->m_width;
    if (!out || width == 0) return;
    if (m_rowChanged) {
        // Four-byte copies, each overlapping the next pixel's first byte, then the last pixel.
        uint8_t* gathered = m_pageRow.data();
        const uint8_t* in = m_row.data();
        for (int64_t j = 0; j + 1 < width; ++j) std::memcpy(gathered + 3 * j, in + 6 * j, 4);
        std::memcpy(gathered + 3 * (width - 1), in + 6 * (width - 1), 3);
        m_rowChanged = false;
    }
    std::memcpy(out, m_pageRow.data(), size_t(3 * width));
    if (withBlack) paintBlack(out);
}

// Black dots of the row's black plane over what the page row holds: transmitted pixel 2j is
// bit 7 - (2j mod 8) of byte 2j / 8, so only the bits of mask 0xAA reach the page.
void HPPclParser::paintBlack(uint8_t* pageRow) const {
    const int64_t width = m_page->m_width;
    for (size_t i = 0; i < m_blackRow.size(); ++i) {
        const uint8_t byte = m_blackRow[i] & 0xAA;
        if (!byte) continue;
        for (int k = 0; k < 4; ++k) {
            const int64_t j = int64_t(4 * i) + k;
            if ((byte & (0x80 >> (2 * k))) && j < width) std::memset(pageRow + 3 * j, 0, 3);
        }
    }
}

// A black-only block: set bits are black dots on white.
void HPPclParser::transferBlackRow() {
    if (m_y % 2 != 0 || !m_page) return;
    uint8_t* out = m_page->row(m_y / 2);
    if (!out) return;
    std::memset(out, 0xFF, size_t(3 * m_page->m_width));
    paintBlack(out);
}

} // namespace brelmont::job
