// Lines of a file read in pieces: each call hands over the next line (without its line feed; a
// carriage return before it is dropped) or, for a line longer than `maxPiece` bytes, its next piece.
#pragma once

#include <cstdio>
#include <string>

namespace brelmont::driver {

class LineReader {
public:
    LineReader(std::FILE* file, size_t maxPiece) : m_file(file), m_maxPiece(maxPiece) {}

    // False at the end of the file. `complete` is false when the line goes on in the next piece.
    bool next(std::string& piece, bool& complete);
    int64_t lineNumber() const { return m_line; } // of the piece last handed over, from 1

private:
    std::FILE* m_file;
    size_t m_maxPiece;
    int64_t m_line = 0;
    bool m_lineOpen = false;
};

} // namespace brelmont::driver
