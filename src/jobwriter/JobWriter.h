// Encodes jobs in the embosser's language for tests, benchmarks, fuzz seeds and the sample job.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace brelmont::testing {

using ByteVector = std::vector<uint8_t>;

inline ByteVector bytesOf(std::string_view text) { return ByteVector(text.begin(), text.end()); }

// PackBits: literals of up to 128 bytes, repeats of 3 to 128 bytes (2 at the end of a row).
ByteVector packBits(const ByteVector& row);

// How a binary raster header proves itself: the byte sum plus 3 or 4, the marker 5, or a bad sum.
enum class HeaderCheck { Sum3, Sum4, Marked, Bad };

// The header fields that are not dimensions.
struct HeaderFields {
    uint8_t force = 0;        // h2
    uint8_t flags = 0;        // h3: perforation and media class (emboss), dry time (PCL3GUI block)
    uint8_t mediaP = 0;       // h4
    uint8_t mediaQ = 0;       // h9
    uint32_t lengthField = 0; // h10..h13, filled in for PCL3GUI blocks unless set
};

// The control bytes of a binary emboss raster (one byte per cell, row-major, width x height).
ByteVector encodeEmbossBlock(const ByteVector& cells, int64_t width, int64_t height);
// The control bytes of a binary one-bit ink raster (cells 0 or 1, row-major, width x height).
ByteVector encodeInkBlock(const ByteVector& cells, int64_t width, int64_t height);

class JobWriter {
public:
    // Raw bytes and lines.
    JobWriter& bytes(const ByteVector& data);
    JobWriter& text(std::string_view text);
    JobWriter& pjl(std::string_view line); // the line followed by CR LF
    JobWriter& universalExit();            // ESC %-12345X

    // ESC group param, then value-letter pairs (lower-case letters chain).
    JobWriter& escape(char group, char param, const std::vector<std::pair<int64_t, char>>& values);
    JobWriter& command(char group, char param, int64_t value, char letter) { return escape(group, param, {{value, letter}}); }

    JobWriter& unit(int64_t dpi) { return command('&', 'u', dpi, 'D'); }
    JobWriter& resolution(int64_t dpi) { return command('*', 't', dpi, 'R'); }
    JobWriter& rasterSize(int64_t width, int64_t height) { return escape('*', 'r', {{width, 's'}, {height, 'T'}}); }
    JobWriter& startRaster(int64_t mode) { return command('*', 'r', mode, 'A'); }
    JobWriter& endRaster() { return command('*', 'r', 0, 'C'); }
    JobWriter& skipRows(int64_t n) { return command('*', 'b', n, 'Y'); }
    JobWriter& configurationText(std::string_view text);

    // Row commands carrying PackBits data (or the bytes as given, for the raw forms).
    JobWriter& row(const ByteVector& row) { return rawRow(packBits(row), 'W'); }
    JobWriter& plane(const ByteVector& row) { return rawRow(packBits(row), 'V'); }
    JobWriter& rawRow(const ByteVector& data, char letter);
    // A position-list row: one dot at each of the given increasing cell positions.
    JobWriter& positionRow(const std::vector<int64_t>& positions);
    // A whole emboss raster in rows: the page at the current resolution, ended.
    JobWriter& embossRaster(const ByteVector& cells, int64_t width, int64_t height);

    // Binary rasters behind a 16-byte header.
    JobWriter& embossBlock(const ByteVector& cells, int64_t width, int64_t height, HeaderCheck check, HeaderFields f = {});
    JobWriter& inkBlock(const ByteVector& cells, int64_t width, int64_t height, HeaderCheck check, HeaderFields f = {});
    JobWriter& pcl3guiBlock(const ByteVector& block, HeaderFields f = {});
    JobWriter& header(uint8_t type, int64_t width, int64_t height, HeaderCheck check, HeaderFields f);

    const ByteVector& data() const { return m_data; }

private:
    ByteVector m_data;
};

} // namespace brelmont::testing
