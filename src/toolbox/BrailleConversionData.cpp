#include "toolbox/BrailleConversionData.h"

#include "printer/PjlReplies.h"

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <iterator>

namespace brelmont::toolbox {

int BrailleConversionData::readFile(const std::filesystem::path& path) {
    std::error_code ec;
    // Devices and pipes never end or block: only plain files are read.
    if (!std::filesystem::is_regular_file(path, ec)) {
        m_failure = ec ? ec.message() : "not a plain file";
        return Unreadable;
    }
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        m_failure = std::strerror(errno);
        return Unreadable;
    }
    std::vector<uint8_t> bytes;
    char buffer[16 * 1024];
    while (file.read(buffer, sizeof buffer) || file.gcount() > 0) {
        bytes.insert(bytes.end(), buffer, buffer + file.gcount());
        if (bytes.size() > MaxFileBytes) {
            m_failure = "larger than " + std::to_string(MaxFileBytes / 1024) + " KiB, which no table file is";
            return Unreadable;
        }
    }
    if (file.bad()) {
        m_failure = "the file could not be read to its end";
        return Unreadable;
    }
    return build(std::move(bytes));
}

// Bytes up to the next line feed, which is consumed; carriage returns dropped. False at the end.
bool BrailleConversionData::readLine(std::string& line) {
    line.clear();
    if (ptr >= int64_t(data.size())) return false;
    while (ptr < int64_t(data.size())) {
        const char c = char(data[size_t(ptr++)]);
        if (c == '\n') break;
        if (c != '\r') line += c;
    }
    return true;
}

int BrailleConversionData::build(std::vector<uint8_t> bytes) {
    data = std::move(bytes);
    ptr = 0;
    asciibrltable.fill(0);
    m_failure.clear();
    m_failedLine = 0;
    std::string line;
    for (int number = 1; readLine(line); ++number) {
        if (line.starts_with('#')) continue;
        const size_t open = line.find('[');
        if (open == std::string::npos || line.find(']') == std::string::npos) continue;
        const int64_t code = printer::firstInteger(line);
        if (code > 255) {
            m_failedLine = number;
            m_failure = "line " + std::to_string(number) + ": the character code " +
                        (code == INT64_MAX ? std::string("given") : std::to_string(code)) + " is above 255";
            asciibrltable.fill(0);
            return CodeTooLarge;
        }
        uint8_t cell = 0;
        int position = 0;
        for (size_t i = open + 1; i < line.size() && line[i] != ']'; ++i) {
            const char c = line[i];
            if (c >= '1' && c <= '8') cell |= uint8_t(1u << (c - '1'));
            else if (c == '-' && position < 8) ++position; // positions past dot 8 set nothing
            else if (c == '*' && position < 8) cell |= uint8_t(1u << position);
        }
        asciibrltable[size_t(code)] = cell;
    }
    return Done;
}

} // namespace brelmont::toolbox
