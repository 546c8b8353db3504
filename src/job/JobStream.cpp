#include "job/JobStream.h"

namespace brelmont::job {

JobStream::Value JobStream::readValue() {
    Value v;
    bool negative = false;
    for (;;) {
        const int b = readByte();
        if (b == '-') {
            negative = !negative;
        } else if (b >= '0' && b <= '9') {
            if (!v.overflow &&
                (__builtin_mul_overflow(v.value, 10, &v.value) || __builtin_add_overflow(v.value, b - '0', &v.value)))
                v.overflow = true;
        } else {
            v.terminator = b;
            break;
        }
    }
    if (negative && !v.overflow) v.value = -v.value; // an overflowed value is refused, never used
    return v;
}

std::string JobStream::readLine() {
    std::string line;
    while (!atEnd()) {
        const uint8_t b = m_data[size_t(m_seek++)];
        if (b == '\r') continue;
        line.push_back(char(b));
        if (b == '\n' || b == '\f') break;
    }
    return line;
}

Bytes JobStream::take(int64_t n) {
    const int64_t available = n < 0 ? 0 : (n > remaining() ? remaining() : n);
    const Bytes part = m_data.subspan(size_t(m_seek), size_t(available));
    skip(n < 0 ? 0 : n);
    return part;
}

} // namespace brelmont::job
