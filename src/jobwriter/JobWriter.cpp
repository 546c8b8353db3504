#include "JobWriter.h"

#include <algorithm>
#include <cstring>
#include <string>

namespace brelmont::testing {

namespace {

// How many times row[0] stands at the start of the row, at most `limit`; eight bytes at a time, as
// the rows of an emboss page are mostly blank.
size_t runLength(const uint8_t* row, size_t limit) {
    size_t run = 1;
    const uint64_t repeated = 0x0101010101010101u * row[0];
    for (uint64_t word; run + 8 <= limit; run += 8) {
        std::memcpy(&word, row + run, 8);
        if (word != repeated) break;
    }
    while (run < limit && row[run] == row[0]) ++run;
    return run;
}

// Runs of three or more bytes repeat; shorter ones join the literals around them, as usual
// PackBits encoders do.
void appendPackBits(const uint8_t* row, size_t size, ByteVector& out) {
    size_t i = 0;
    while (i < size) {
        const size_t run = runLength(row + i, std::min<size_t>(size - i, 128));
        if (run >= 3 || (run == 2 && i + 2 == size)) {
            out.push_back(uint8_t(257 - run));
            out.push_back(row[i]);
            i += run;
            continue;
        }
        // A literal ends where three equal bytes begin.
        const auto tripleAt = [&](size_t at) { return at + 2 < size && row[at] == row[at + 1] && row[at] == row[at + 2]; };
        size_t literal = 1;
        while (i + literal < size && literal < 128 && !tripleAt(i + literal)) ++literal;
        out.push_back(uint8_t(literal - 1));
        out.insert(out.end(), row + i, row + i + literal);
        i += literal;
    }
}

} // namespace

ByteVector packBits(const ByteVector& row) {
    ByteVector out;
    appendPackBits(row.data(), row.size(), out);
    return out;
}

namespace {

// Pairs of bytes as literals and repeats, the stream both binary rasters share.
ByteVector encodePairs(ByteVector stream) {
    if (stream.size() % 2) stream.push_back(0);
    ByteVector out;
    const size_t pairs = stream.size() / 2;
    const auto samePair = [&](size_t a, size_t b) {
        return stream[2 * a] == stream[2 * b] && stream[2 * a + 1] == stream[2 * b + 1];
    };
    size_t i = 0;
    while (i < pairs) {
        size_t run = 1;
        while (i + run < pairs && run < 0x3FFF && samePair(i, i + run)) ++run;
        if (run >= 3) {
            out.insert(out.end(), {uint8_t(0x80 | run >> 8), uint8_t(run), stream[2 * i], stream[2 * i + 1]});
            i += run;
            continue;
        }
        size_t literal = 1;
        while (i + literal < pairs && literal < 0x3FFF &&
               !(i + literal + 2 < pairs && samePair(i + literal, i + literal + 1) && samePair(i + literal, i + literal + 2)))
            ++literal;
        out.insert(out.end(), {uint8_t(literal >> 8), uint8_t(literal)});
        out.insert(out.end(), stream.begin() + long(2 * i), stream.begin() + long(2 * (i + literal)));
        i += literal;
    }
    return out;
}

} // namespace

ByteVector encodeEmbossBlock(const ByteVector& cells, int64_t width, int64_t height) {
    return encodePairs(ByteVector(cells.begin(), cells.begin() + width * height));
}

ByteVector encodeInkBlock(const ByteVector& cells, int64_t width, int64_t height) {
    ByteVector stream;
    for (int64_t y = 0; y < height; ++y)
        for (int64_t x = 0; x < width; x += 8) {
            uint8_t byte = 0;
            for (int64_t b = 0; b < 8 && x + b < width; ++b)
                if (cells[size_t(y * width + x + b)]) byte |= uint8_t(1 << b);
            stream.push_back(byte);
        }
    return encodePairs(stream);
}

JobWriter& JobWriter::bytes(const ByteVector& data) {
    m_data.insert(m_data.end(), data.begin(), data.end());
    return *this;
}

JobWriter& JobWriter::text(std::string_view text) {
    m_data.insert(m_data.end(), text.begin(), text.end());
    return *this;
}

JobWriter& JobWriter::pjl(std::string_view line) { return text(line).text("\r\n"); }

JobWriter& JobWriter::universalExit() { return text("\x1b%-12345X"); }

JobWriter& JobWriter::escape(char group, char param, const std::vector<std::pair<int64_t, char>>& values) {
    m_data.push_back(27);
    m_data.push_back(uint8_t(group));
    m_data.push_back(uint8_t(param));
    for (const auto& [value, letter] : values) text(std::to_string(value)).m_data.push_back(uint8_t(letter));
    return *this;
}

JobWriter& JobWriter::configurationText(std::string_view configuration) {
    return command('&', 'b', int64_t(configuration.size()), 'W').text(configuration);
}

JobWriter& JobWriter::rawRow(const ByteVector& data, char letter) {
    return command('*', 'b', int64_t(data.size()), letter).bytes(data);
}

JobWriter& JobWriter::positionRow(const std::vector<int64_t>& positions) {
    ByteVector list;
    int64_t at = 0;
    for (int64_t p : positions) {
        int64_t distance = p - at;
        for (; distance >= 255; distance -= 255) list.push_back(255);
        list.push_back(uint8_t(distance));
        at = p;
    }
    return rawRow(list, 'U');
}

JobWriter& JobWriter::embossRaster(const ByteVector& cells, int64_t width, int64_t height) {
    rasterSize(width, height).startRaster(1);
    // Most rows of an emboss page are blank: their command is made once and repeated.
    ByteVector packed, blank;
    for (int64_t y = 0; y < height; ++y) {
        const uint8_t* row = cells.data() + y * width;
        const bool isBlank = width > 0 && row[0] == 0 && std::memcmp(row, row + 1, size_t(width - 1)) == 0;
        if (isBlank && !blank.empty()) {
            bytes(blank);
            continue;
        }
        packed.clear();
        appendPackBits(row, size_t(width), packed);
        const size_t start = m_data.size();
        rawRow(packed, 'W');
        if (isBlank) blank.assign(m_data.begin() + long(start), m_data.end());
    }
    return endRaster();
}

JobWriter& JobWriter::header(uint8_t type, int64_t width, int64_t height, HeaderCheck check, HeaderFields f) {
    uint8_t h[16] = {27,
                     type,
                     f.force,
                     f.flags,
                     f.mediaP,
                     uint8_t(width),
                     uint8_t(width >> 8),
                     uint8_t(height),
                     uint8_t(height >> 8),
                     f.mediaQ,
                     uint8_t(f.lengthField),
                     uint8_t(f.lengthField >> 8),
                     uint8_t(f.lengthField >> 16),
                     uint8_t(f.lengthField >> 24),
                     0,
                     0};
    int sum = 0;
    for (int i = 0; i < 14; ++i) sum += h[i];
    const int value = check == HeaderCheck::Marked ? 5
                      : check == HeaderCheck::Sum3 ? sum + 3
                      : check == HeaderCheck::Sum4 ? sum + 4
                                                   : sum + 5;
    h[14] = uint8_t(value), h[15] = uint8_t(value >> 8);
    m_data.insert(m_data.end(), h, h + 16);
    return *this;
}

JobWriter& JobWriter::embossBlock(const ByteVector& cells, int64_t width, int64_t height, HeaderCheck check, HeaderFields f) {
    return header(4, width, height, check, f).bytes(encodeEmbossBlock(cells, width, height));
}

JobWriter& JobWriter::inkBlock(const ByteVector& cells, int64_t width, int64_t height, HeaderCheck check, HeaderFields f) {
    return header(5, width, height, check, f).bytes(encodeInkBlock(cells, width, height));
}

JobWriter& JobWriter::pcl3guiBlock(const ByteVector& block, HeaderFields f) {
    if (f.lengthField == 0) f.lengthField = uint32_t(block.size() + 16);
    return header(134, 0, 0, HeaderCheck::Marked, f).bytes(block);
}

} // namespace brelmont::testing
