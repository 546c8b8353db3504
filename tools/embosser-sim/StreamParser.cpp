#include "StreamParser.h"

#include "Text.h"

#include <charconv>

namespace brelmont::sim {

namespace {
constexpr char Esc = 0x1b;
constexpr size_t MaxLine = 64 * 1024;
constexpr size_t MaxPrinterCommand = 256;

// The value of "KEY=" in a PJL line: a quoted text or a word.
std::string argument(std::string_view line, std::string_view key) {
    const std::string up = upper(line);
    size_t at = up.find(upper(key) + "=");
    if (at == std::string::npos) return {};
    std::string_view rest = line.substr(at + key.size() + 1);
    while (!rest.empty() && rest.front() == ' ') rest.remove_prefix(1);
    if (!rest.empty() && rest.front() == '"') {
        rest.remove_prefix(1);
        return std::string(rest.substr(0, rest.find('"')));
    }
    return std::string(rest.substr(0, rest.find(' ')));
}

std::string_view commandWord(std::string_view line) {
    std::string_view rest = trim(line.substr(4)); // after "@PJL"
    return rest.substr(0, rest.find(' '));
}
} // namespace

StreamParser::StreamParser(Sink& sink, bool binaryCommands) : m_sink(sink), m_binaryCommands(binaryCommands) {}

void StreamParser::feed(std::string_view bytes) {
    m_buf.append(bytes);
    while (step(false)) {}
    m_buf.erase(0, m_pos);
    m_pos = 0;
}

void StreamParser::finish() {
    while (step(true)) {}
    if (m_mode == Mode::Download) m_sink.download(m_downloadName, m_downloadBytes, false);
    m_mode = Mode::Command;
    m_buf.clear();
    m_pos = 0;
}

bool StreamParser::step(bool atEnd) {
    switch (m_mode) {
    case Mode::Command: return stepCommand(atEnd);
    case Mode::Data: return stepData(atEnd);
    case Mode::Download: return stepDownload();
    }
    return false;
}

bool StreamParser::stepCommand(bool atEnd) {
    if (m_pos >= m_buf.size()) return false;
    const char c = m_buf[m_pos];
    if (c == '\r' || c == '\n' || c == '\t' || c == ' ' || c == '\f') {
        ++m_pos;
        return true;
    }
    const std::string_view rest = std::string_view(m_buf).substr(m_pos);
    if (c == '@') {
        if (rest.size() < 4 && !atEnd) return false;
        if (!istartsWith(rest, "@PJL")) {
            m_mode = Mode::Data;
            return true;
        }
        size_t end = rest.find('\n');
        if (end == std::string_view::npos) {
            if (!atEnd && rest.size() < MaxLine) return false;
            end = rest.size();
        }
        std::string line(rest.substr(0, end));
        m_pos += std::min(end + 1, rest.size());
        std::erase(line, '\r');
        endOfLine(std::move(line));
        return true;
    }
    if (c == Esc) return stepEscape(atEnd);
    m_mode = Mode::Data;
    return true;
}

bool StreamParser::stepEscape(bool atEnd) {
    const std::string_view rest = std::string_view(m_buf).substr(m_pos);
    if (rest.size() < 2) return atEnd ? (m_mode = Mode::Data, true) : false;
    if (rest[1] == '%') {
        const size_t n = std::min(rest.size(), UniversalExit.size());
        if (rest.substr(0, n) == UniversalExit.substr(0, n)) {
            if (n == UniversalExit.size()) {
                m_pos += n;
                return true;
            }
            return atEnd ? (m_mode = Mode::Data, true) : false;
        }
        if (rest.size() < 3) return atEnd ? (m_mode = Mode::Data, true) : false;
        if (rest[2] == 'P' || rest[2] == 'p') {
            const size_t end = rest.find(';');
            if (end == std::string_view::npos || end > MaxPrinterCommand) {
                if (!atEnd && rest.size() <= MaxPrinterCommand) return false;
                m_mode = Mode::Data;
                return true;
            }
            const std::string text(rest.substr(3, end - 3));
            m_pos += end + 1;
            m_sink.printerCommand(text);
            return true;
        }
    } else if (rest[1] == '\x80' && m_binaryCommands) {
        if (rest.size() < BinaryCommandSize) return atEnd ? (m_mode = Mode::Data, true) : false;
        const std::string command(rest.substr(0, BinaryCommandSize));
        m_pos += BinaryCommandSize;
        m_sink.binaryCommand(command);
        return true;
    }
    m_mode = Mode::Data;
    return true;
}

// Data runs up to the next universal exit; a tail that may begin one is held back.
bool StreamParser::stepData(bool atEnd) {
    const std::string_view rest = std::string_view(m_buf).substr(m_pos);
    if (rest.empty()) return false;
    const size_t exit = rest.find(UniversalExit);
    if (exit != std::string_view::npos) {
        if (exit > 0) m_sink.data(rest.substr(0, exit));
        m_pos += exit + UniversalExit.size();
        m_mode = Mode::Command;
        return true;
    }
    size_t keep = 0;
    if (!atEnd) {
        for (size_t k = std::min(rest.size(), UniversalExit.size() - 1); k > 0; --k) {
            if (rest.substr(rest.size() - k) == UniversalExit.substr(0, k)) {
                keep = k;
                break;
            }
        }
    }
    if (rest.size() > keep) m_sink.data(rest.substr(0, rest.size() - keep));
    m_pos += rest.size() - keep;
    return false;
}

bool StreamParser::stepDownload() {
    const size_t avail = m_buf.size() - m_pos;
    const size_t take = std::min(avail, m_downloadLeft);
    m_downloadBytes.append(m_buf, m_pos, take);
    m_pos += take;
    m_downloadLeft -= take;
    if (m_downloadLeft == 0) {
        m_mode = Mode::Command;
        m_sink.download(m_downloadName, m_downloadBytes, true);
        m_downloadBytes.clear();
        return true;
    }
    return false;
}

// A few PJL lines change how the bytes after them are read.
void StreamParser::endOfLine(std::string line) {
    m_sink.pjlLine(line);
    const std::string_view word = commandWord(line);
    if (iequals(word, "FSDOWNLOAD")) {
        const std::string size = argument(line, "SIZE");
        size_t n = 0;
        std::from_chars(size.data(), size.data() + size.size(), n);
        m_downloadName = argument(line, "NAME");
        m_downloadLeft = n;
        m_downloadBytes.clear();
        m_mode = Mode::Download;
        if (n == 0) stepDownload();
    } else if (iequals(word, "ENTER")) {
        m_mode = Mode::Data;
    }
}

} // namespace brelmont::sim
