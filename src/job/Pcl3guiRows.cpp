#include "job/Pcl3guiRows.h"

#include <algorithm>
#include <cstring>

namespace brelmont::job {

namespace {

// Reads a row's bytes; every read reports whether the byte was there.
class RowReader {
public:
    explicit RowReader(Bytes data) : m_data(data) {}
    bool atEnd() const { return m_at >= m_data.size(); }
    bool read(int64_t& out) {
        if (atEnd()) return false;
        out = m_data[m_at++];
        return true;
    }
    // Extension bytes of an offset or count field: added on while the byte read is 255.
    bool extend(int64_t& field) {
        int64_t b = 255;
        while (b == 255) {
            if (!read(b)) return false;
            field += b;
        }
        return true;
    }
    const uint8_t* take(size_t n) {
        if (m_data.size() - m_at < n) return nullptr;
        const uint8_t* p = m_data.data() + m_at;
        m_at += n;
        return p;
    }

private:
    Bytes m_data;
    size_t m_at = 0;
};

struct Rgb {
    uint8_t r = 0xFF, g = 0xFF, b = 0xFF;
};

class Mode10Row {
public:
    Mode10Row(uint8_t* row, int64_t pixels) : m_row(row), m_pixels(pixels) {}

    Rgb at(int64_t i) const {
        if (i < 0 || i >= m_pixels) return {};
        const uint8_t* p = m_row + 3 * i;
        return {p[0], p[1], p[2]};
    }

    void put(int64_t i, Rgb c) {
        if (i < 0 || i >= m_pixels) return;
        uint8_t* p = m_row + 3 * i;
        p[0] = c.r, p[1] = c.g, p[2] = c.b;
        m_changed = true;
    }

    void fill(int64_t from, int64_t count, Rgb c) {
        const int64_t end = std::min(from + count, m_pixels);
        if (from >= end) return;
        uint8_t* p = m_row + 3 * from;
        p[0] = c.r, p[1] = c.g, p[2] = c.b;
        // Doubling copies keep long runs close to memset speed.
        for (int64_t done = 1; done < end - from;) {
            const int64_t n = std::min(done, end - from - done);
            std::memcpy(p + 3 * done, p, size_t(3 * n));
            done += n;
        }
        m_changed = true;
    }

    // A pixel in the data: 2 bytes of deltas against the seed pixel at i, or 3 bytes of colour.
    bool readPixel(RowReader& in, int64_t i, Rgb& out) const {
        int64_t b0 = 0, b1 = 0, b2 = 0;
        if (!in.read(b0) || !in.read(b1)) return false;
        if (b0 & 0x80) {
            const int64_t v = (b0 << 8) | b1;
            const auto delta = [](int64_t bits) { return int((bits & 16) ? bits - 32 : bits); };
            const Rgb seed = at(i);
            out.r = uint8_t(seed.r + delta((v >> 10) & 31));
            out.g = uint8_t(seed.g + delta((v >> 5) & 31));
            out.b = uint8_t((seed.b & 0xFE) + 2 * delta(v & 31));
            return true;
        }
        if (!in.read(b2)) return false;
        const int64_t v = (b0 << 16) | (b1 << 8) | b2; // 23 bits: the colour less its lowest blue bit
        out.r = uint8_t(v >> 15), out.g = uint8_t(v >> 7), out.b = uint8_t(v << 1);
        return true;
    }

    // The first pixel of a command: new (in the data), west, north-east or cached.
    bool sourcePixel(int64_t source, RowReader& in, int64_t i, const Rgb& cache, Rgb& out) const {
        switch (source) {
        case 0: return readPixel(in, i, out);
        case 1: out = at(i - 1); return true; // already decoded in this row
        case 2: out = at(i + 1); return true; // not yet replaced, so still the seed row's pixel
        default: out = cache; return true;
        }
    }

    bool changed() const { return m_changed; }

private:
    uint8_t* m_row;
    int64_t m_pixels;
    bool m_changed = false;
};

} // namespace

int64_t decodeMode10Row(Bytes data, uint8_t* row, int64_t pixels, bool& changed) {
    RowReader in(data);
    Mode10Row out(row, pixels);
    Rgb cache; // white at the start of every row
    int64_t pos = 0;
    int64_t c = 0;
    while (in.read(c)) {
        const int64_t source = (c >> 5) & 3;
        int64_t offset = (c >> 3) & 3;
        int64_t count = c & 7;
        if (offset == 3 && !in.extend(offset)) return -2;
        pos += offset;

        Rgb colour;
        if (!out.sourcePixel(source, in, pos, cache, colour)) return -2;
        if (source == 0) cache = colour;

        if (c & 0x80) { // run of count + 2 pixels
            if (count == 7 && !in.extend(count)) return -2;
            out.fill(pos, count + 2, colour);
            pos += count + 2;
            continue;
        }
        // Literal of count + 1 pixels; a count of 7 is extended by bytes interleaved with the
        // pixels: after the 8th, then after every further 255 while the last extension was 255.
        out.put(pos++, colour);
        int64_t left = count;
        bool extended = count == 7;
        for (;;) {
            for (; left > 0; --left, ++pos) {
                if (!out.readPixel(in, pos, colour)) return -2;
                out.put(pos, colour);
            }
            if (!extended) break;
            if (!in.read(left)) return -2;
            extended = left == 255;
        }
    }
    changed = changed || out.changed();
    return 0;
}

int64_t decodeMode9Row(Bytes data, uint8_t* row, int64_t length) {
    RowReader in(data);
    int64_t pos = 0;
    int64_t c = 0;
    while (in.read(c)) {
        int64_t offset, count;
        const bool run = c & 0x80;
        if (run) {
            offset = (c >> 5) & 3, count = c & 31;
            if ((offset == 3 && !in.extend(offset)) || (count == 31 && !in.extend(count))) return -2;
        } else {
            offset = (c >> 3) & 15, count = c & 7;
            if ((offset == 15 && !in.extend(offset)) || (count == 7 && !in.extend(count))) return -2;
        }
        pos += offset;
        const int64_t n = run ? count + 2 : count + 1;
        const int64_t kept = std::clamp<int64_t>(length - pos, 0, n);
        if (run) {
            int64_t value = 0;
            if (!in.read(value)) return -2;
            if (kept > 0) std::memset(row + pos, int(value), size_t(kept));
        } else {
            const uint8_t* bytes = in.take(size_t(n));
            if (!bytes) return -2;
            if (kept > 0) std::memcpy(row + pos, bytes, size_t(kept));
        }
        pos += n;
    }
    return 0;
}

} // namespace brelmont::job
