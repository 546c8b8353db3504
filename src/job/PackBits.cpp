#include "job/PackBits.h"

#include <algorithm>
#include <cstring>
#include <limits>

namespace brelmont::job {

namespace {

constexpr int64_t Block = 16;

class Output {
public:
    Output(uint8_t* out, int64_t capacity) : m_out(out), m_capacity(out ? capacity : 0) {}

    void copy(const uint8_t* bytes, int64_t n) {
        const int64_t fit = std::clamp<int64_t>(m_capacity - m_made, 0, n);
        if (fit > 0) std::memcpy(m_out + m_made, bytes, size_t(fit));
        m_made += n;
    }
    void repeat(uint8_t value, int64_t n) {
        const int64_t fit = std::clamp<int64_t>(m_capacity - m_made, 0, n);
        if (fit > 0) std::memset(m_out + m_made, value, size_t(fit));
        m_made = n > std::numeric_limits<int64_t>::max() - m_made ? std::numeric_limits<int64_t>::max() : m_made + n;
    }
    int64_t made() const { return m_made; }

    // Controls whose input is all there, written whole while the output is within its capacity
    // (a control makes at most 128 bytes, the slack). Stops at the first control it cannot take
    // so; returns the input position reached.
    int64_t unpackWhole(Bytes in, int64_t i, int64_t real) {
        if (!m_out) return i;
        uint8_t* out = m_out;
        const uint8_t* src = in.data();
        const int64_t size = int64_t(in.size());
        int64_t made = m_made;
        while (i + 1 < real && made <= m_capacity) {
            const uint8_t c = src[i];
            if (c < 128) {
                const int64_t n = c + 1;
                if (i + 1 + n > real) break;
                if (n <= Block && i + 1 + Block <= size) std::memcpy(out + made, src + i + 1, Block);
                else std::memcpy(out + made, src + i + 1, size_t(n));
                made += n, i += 1 + n;
            } else {
                // 128 makes nothing: one more byte passed over, as a repeat of 0 bytes does.
                const int64_t n = c == 128 ? 0 : 257 - c;
                if (n <= Block) std::memset(out + made, src[i + 1], Block);
                else std::memset(out + made, src[i + 1], size_t(n));
                made += n, i += c == 128 ? 1 : 2;
            }
        }
        m_made = made;
        return i;
    }

private:
    uint8_t* m_out;
    int64_t m_capacity;
    int64_t m_made = 0;
};

} // namespace

int64_t unpackBits(uint8_t* out, int64_t capacity, Bytes in, int64_t n) {
    Output o(out, capacity);
    const int64_t real = std::min<int64_t>(n, int64_t(in.size()));
    int64_t i = o.unpackWhole(in, 0, real);
    // The rest: controls cut by the end of the input, and what lies past the capacity.
    while (i < real) {
        const uint8_t c = in[size_t(i++)];
        if (c < 128) {
            const int64_t want = std::min<int64_t>(c + 1, n - i);
            const int64_t have = std::min(want, real - i);
            o.copy(in.data() + i, have);
            o.repeat(0xFF, want - have);
            i += want;
        } else if (c > 128) {
            if (i >= n) break;
            o.repeat(i < real ? in[size_t(i)] : 0xFF, 257 - c);
            ++i;
        }
    }
    // Past the data every control is 0xFF, repeating the next 0xFF twice.
    if (i < n) o.repeat(0xFF, (n - i) / 2 * 2);
    return o.made();
}

} // namespace brelmont::job
