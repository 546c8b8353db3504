#include "driver/input/LineReader.h"

namespace brelmont::driver {

bool LineReader::next(std::string& piece, bool& complete) {
    piece.clear();
    int c = getc_unlocked(m_file);
    if (c == EOF) return false;
    if (!m_lineOpen) ++m_line;
    while (c != EOF && c != '\n') {
        piece += char(c);
        if (piece.size() >= m_maxPiece) {
            m_lineOpen = true;
            complete = false;
            return true;
        }
        c = getc_unlocked(m_file);
    }
    if (!piece.empty() && piece.back() == '\r') piece.pop_back();
    m_lineOpen = false;
    complete = true;
    return true;
}

} // namespace brelmont::driver
