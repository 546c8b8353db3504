#include "Pcl3guiWriter.h"

#include <algorithm>

namespace brelmont::testing {

namespace {

constexpr Rgb White{};

Rgb pixelAt(const Rgb* row, int64_t pixels, int64_t i) { return i < 0 || i >= pixels ? White : row[i]; }

// Extension bytes after a field that reached its largest value.
void putExtension(ByteVector& out, int64_t rest) {
    for (; rest >= 255; rest -= 255) out.push_back(255);
    out.push_back(uint8_t(rest));
}

int fieldValue(int64_t value, int64_t largest) { return int(std::min(value, largest)); }

// The 2-byte delta form codes a pixel exactly when each delta fits and blue keeps its parity.
bool deltaFits(Rgb seed, Rgb p, uint16_t& code) {
    const int dr = int8_t(uint8_t(p.r - seed.r)), dg = int8_t(uint8_t(p.g - seed.g));
    const int blueStep = int8_t(uint8_t(p.b - (seed.b & 0xFE)));
    if (dr < -16 || dr > 15 || dg < -16 || dg > 15 || blueStep % 2 || blueStep / 2 < -16 || blueStep / 2 > 15) return false;
    code = uint16_t(0x8000 | (dr & 31) << 10 | (dg & 31) << 5 | ((blueStep / 2) & 31));
    return true;
}

Rgb threeByteDecoded(Rgb p) { return {p.r, p.g, uint8_t(p.b & 0xFE)}; }

class Mode10Encoder {
public:
    Mode10Encoder(const Rgb* row, const Rgb* seed, int64_t pixels, PixelForm form)
        : m_row(row),
          m_seed(seed),
          m_pixels(pixels),
          m_form(form),
          m_decoded(seed, seed + pixels) {}

    ByteVector encode() {
        int64_t pos = 0;
        for (;;) {
            int64_t start = pos;
            while (start < m_pixels && m_row[start] == m_seed[start]) ++start;
            if (start >= m_pixels) break;
            int64_t run = 1;
            while (start + run < m_pixels && m_row[start + run] == m_row[start]) ++run;
            pos = run >= 2 ? encodeRun(pos, start, run) : encodeLiteral(pos, start);
        }
        return m_out;
    }

    const std::vector<Rgb>& decoded() const { return m_decoded; }

private:
    // The source field that yields `colour` at position i without data, or 0 (a new pixel).
    int sourceFor(int64_t i, Rgb colour) const {
        if (colour == pixelAt(m_decoded.data(), m_pixels, i - 1)) return 1;
        if (colour == pixelAt(m_decoded.data(), m_pixels, i + 1)) return 2;
        if (colour == m_cache) return 3;
        return 0;
    }

    // The command byte and its offset extension; the count extension has its own place.
    void putCommand(bool run, int source, int64_t offset, int64_t count) {
        m_out.push_back(uint8_t((run ? 0x80 : 0) | source << 5 | fieldValue(offset, 3) << 3 | fieldValue(count, 7)));
        if (offset >= 3) putExtension(m_out, offset - 3);
    }

    // A pixel in the data, coded against the seed at i; returns what the decoder will make of it.
    Rgb putPixel(int64_t i, Rgb p) {
        uint16_t code = 0;
        const Rgb seed = pixelAt(m_seed, m_pixels, i);
        if (m_form == PixelForm::Best && deltaFits(seed, p, code)) {
            m_out.insert(m_out.end(), {uint8_t(code >> 8), uint8_t(code)});
            return p;
        }
        const uint32_t v = uint32_t(p.r) << 15 | uint32_t(p.g) << 7 | uint32_t(p.b) >> 1;
        m_out.insert(m_out.end(), {uint8_t(v >> 16), uint8_t(v >> 8), uint8_t(v)});
        return threeByteDecoded(p);
    }

    void store(int64_t i, Rgb p) {
        if (i >= 0 && i < m_pixels) m_decoded[size_t(i)] = p;
    }

    int64_t encodeRun(int64_t pos, int64_t start, int64_t run) {
        const Rgb colour = m_row[start];
        const int source = sourceFor(start, colour);
        const int64_t count = run - 2;
        putCommand(true, source, start - pos, count);
        Rgb made = colour;
        if (source == 0) made = m_cache = putPixel(start, colour);
        if (count >= 7) putExtension(m_out, count - 7);
        for (int64_t i = 0; i < run; ++i) store(start + i, made);
        return start + run;
    }

    // Pixels up to the next run of two or a pixel equal to its seed; the count extension is
    // interleaved with the pixels.
    int64_t encodeLiteral(int64_t pos, int64_t start) {
        int64_t length = 1;
        while (start + length < m_pixels && m_row[start + length] != m_seed[start + length] &&
               !(start + length + 1 < m_pixels && m_row[start + length] == m_row[start + length + 1]))
            ++length;
        const Rgb first = m_row[start];
        const int source = sourceFor(start, first);
        const int64_t count = length - 1;
        putCommand(false, source, start - pos, count);
        Rgb made = first;
        if (source == 0) made = m_cache = putPixel(start, first);
        store(start, made);
        int64_t left = std::min<int64_t>(count, 7);
        int64_t rest = count - left;
        bool extended = count >= 7;
        int64_t i = start + 1;
        for (;;) {
            for (; left > 0; --left, ++i) store(i, putPixel(i, m_row[i]));
            if (!extended) break;
            left = std::min<int64_t>(rest, 255);
            rest -= left;
            m_out.push_back(uint8_t(left));
            extended = left == 255;
        }
        return start + length;
    }

    const Rgb* m_row;
    const Rgb* m_seed;
    int64_t m_pixels;
    PixelForm m_form;
    Rgb m_cache;
    std::vector<Rgb> m_decoded; // the row as the decoder will hold it
    ByteVector m_out;
};

} // namespace

ByteVector encodeMode10Row(const Rgb* row, const Rgb* seed, int64_t pixels, PixelForm form) {
    return Mode10Encoder(row, seed, pixels, form).encode();
}

void mode10Decoded(const Rgb* row, const Rgb* seed, int64_t pixels, Rgb* out, PixelForm form) {
    Mode10Encoder e(row, seed, pixels, form);
    e.encode();
    std::copy(e.decoded().begin(), e.decoded().end(), out);
}

ByteVector encodeMode9Row(const ByteVector& row, const ByteVector& seed) {
    ByteVector out;
    const size_t n = row.size();
    size_t pos = 0;
    for (;;) {
        size_t start = pos;
        while (start < n && row[start] == seed[start]) ++start;
        if (start >= n) break;
        const int64_t offset = int64_t(start - pos);
        size_t run = 1;
        while (start + run < n && row[start + run] == row[start]) ++run;
        if (run >= 2) {
            const int64_t count = int64_t(run) - 2;
            out.push_back(uint8_t(0x80 | fieldValue(offset, 3) << 5 | fieldValue(count, 31)));
            if (offset >= 3) putExtension(out, offset - 3);
            if (count >= 31) putExtension(out, count - 31);
            out.push_back(row[start]);
            pos = start + run;
            continue;
        }
        size_t length = 1;
        while (start + length < n && row[start + length] != seed[start + length] &&
               !(start + length + 1 < n && row[start + length] == row[start + length + 1]))
            ++length;
        const int64_t count = int64_t(length) - 1;
        out.push_back(uint8_t(fieldValue(offset, 15) << 3 | fieldValue(count, 7)));
        if (offset >= 15) putExtension(out, offset - 15);
        if (count >= 7) putExtension(out, count - 7);
        out.insert(out.end(), row.begin() + long(start), row.begin() + long(start + length));
        pos = start + length;
    }
    return out;
}

Pcl3guiWriter::Pcl3guiWriter(int64_t pageWidth, int64_t pageHeight, Planes planes)
    : m_planes(planes),
      m_rowPixels(2 * pageWidth),
      m_seed(size_t(m_rowPixels)),
      m_blackSeed(size_t((m_rowPixels + 7) / 8)) {
    m_out.pjl("@PJL ENTER LANGUAGE=PCL3GUI").unit(600).rasterSize(2 * pageWidth, 2 * pageHeight).resolution(300);
    const uint8_t hi = 0x02, lo = 0x58; // 600 dpi
    if (planes == Planes::BlackAndColour) {
        m_out.command('*', 'g', 20, 'W').bytes({6, 0x1F, 0, 2, hi, lo, hi, lo, 9, 1, 1, 1, hi, lo, hi, lo, 10, 1, 32, 1});
    } else {
        const uint8_t compression = planes == Planes::BlackOnly ? 9 : 10;
        m_out.command('*', 'g', 12, 'W')
            .bytes({6, 7, 0, 1, hi, lo, hi, lo, compression, 1, uint8_t(compression == 9 ? 1 : 32), 1});
    }
    m_out.startRaster(1);
}

Pcl3guiWriter& Pcl3guiWriter::colourRow(const Rgb* pixels, PixelForm form) {
    m_out.rawRow(encodeMode10Row(pixels, m_seed.data(), m_rowPixels, form), 'W');
    mode10Decoded(pixels, std::vector<Rgb>(m_seed).data(), m_rowPixels, m_seed.data(), form);
    return *this;
}

Pcl3guiWriter& Pcl3guiWriter::blackPlane(const ByteVector& bits) {
    m_out.rawRow(encodeMode9Row(bits, m_blackSeed), m_planes == Planes::BlackOnly ? 'W' : 'V');
    m_blackSeed = bits;
    return *this;
}

Pcl3guiWriter& Pcl3guiWriter::skipRows(int64_t n) {
    m_out.skipRows(n);
    std::fill(m_seed.begin(), m_seed.end(), White);
    std::fill(m_blackSeed.begin(), m_blackSeed.end(), 0);
    return *this;
}

Pcl3guiWriter& Pcl3guiWriter::raw(const ByteVector& bytes) {
    m_out.bytes(bytes);
    return *this;
}

ByteVector Pcl3guiWriter::finish() {
    m_out.endRaster().universalExit();
    return m_out.data();
}

} // namespace brelmont::testing
