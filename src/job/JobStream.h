// Byte reading shared by the job parsers: bytes, values, PJL lines, pass-overs.
#pragma once

#include "job/JobLanguage.h"

#include <cstdint>
#include <span>
#include <string>

namespace brelmont::job {

using Bytes = std::span<const uint8_t>;

class JobStream : public JobLanguage {
public:
    static constexpr int Missing = -1; // a byte asked for past the end of the data

    explicit JobStream(Bytes data) : m_data(data), m_count(int64_t(data.size())) {}

    bool atEnd() const { return m_seek >= m_count; }
    int64_t remaining() const { return m_count - m_seek; }

    // The next byte without reading it, or Missing at the end of the data.
    int peekByte() const { return atEnd() ? Missing : m_data[size_t(m_seek)]; }
    // The next byte, or Missing at the end of the data.
    int readByte() { return atEnd() ? Missing : m_data[size_t(m_seek++)]; }
    // The next byte, or `fill` at the end of the data (the job language reads missing bytes as 0xFF).
    uint8_t readByteOr(uint8_t fill) { return atEnd() ? fill : m_data[size_t(m_seek++)]; }

    // A decimal value: "-" toggles the sign anywhere, digits accumulate, the first other byte
    // is the terminator (Missing at the end of the data).
    struct Value {
        int64_t value = 0;
        int terminator = Missing;
        bool overflow = false;
    };
    Value readValue();

    // Bytes up to and including the next LF or FF, CR dropped, each byte one ISO 8859-1 character
    // (kept as its byte; the texts we look for are ASCII).
    std::string readLine();

    // The next n bytes as a view, clipped at the end of the data; the position moves past all n.
    Bytes take(int64_t n);
    void skip(int64_t n) { m_seek = n >= remaining() ? m_count : m_seek + n; }

    // The data of a command, passed over. A negative length would move decoding backwards: it
    // ends the decoding instead (-1).
    int64_t passOver(int64_t n) {
        if (n < 0) return -1;
        skip(n);
        return 0;
    }

    // The rest of a universal exit after ESC "%": true when it reads "-12345X".
    bool readUniversalExit() {
        const Value v = readValue();
        return !v.overflow && v.value == UniversalExitValue && v.terminator == ParamUEL;
    }

    // One parameterised escape sequence after its group byte: a parameter byte, then values each
    // ended by a command letter, a lower-case letter chaining the next value. `execute(param,
    // letter, n)` runs one command; a negative result ends the sequence. Data ending inside the
    // sequence gives -2 under "*" "b" (a row was cut short), else 0; an overflowing value gives -1.
    template <class Execute>
    int64_t parseSequence(int64_t group, Execute&& execute) {
        const int param = readByte();
        const int64_t endResult = (group == GroupAsterisk && param == CommandB) ? -2 : 0;
        if (atEnd()) return endResult;
        for (;;) {
            const Value v = readValue();
            if (v.terminator == Missing) return endResult;
            if (v.overflow) return -1;
            const int64_t r = execute(int64_t(param), int64_t(commandLetter(v.terminator)), v.value);
            if (r < 0) return r;
            if (!chainsAnother(v.terminator)) return 0;
            if (atEnd()) return endResult;
        }
    }

protected:
    const Bytes m_data;
    int64_t m_seek = 0;
    const int64_t m_count;
};

} // namespace brelmont::job
