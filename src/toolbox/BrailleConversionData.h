// A braille table file read into the 256 cells an embosser's table slot holds.
//
// The file is plain text, one cell per line: "65 [17]" or "65 [*------*]" gives character code 65
// dots 1 and 7. Lines starting with "#" are comments; a line counts only when it holds both "["
// and "]"; its code is its first run of digits; in the cell, "1" to "8" set that dot, "-" moves a
// position on, "*" sets the dot at the position, "]" ends the cell and anything else is passed
// over. A later line for a code replaces an earlier one; codes never named stay blank.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace brelmont::toolbox {

// Cell i is the braille cell of character code i: bit 0 is dot 1, ..., bit 7 dot 8.
using BrailleTable = std::array<uint8_t, 256>;

class BrailleConversionData {
public:
    // Result codes of build and readFile.
    static constexpr int Done = 0;
    static constexpr int Unreadable = -1;   // the file could not be read, or is far too large for a table
    static constexpr int CodeTooLarge = -2; // a line names a character code above 255

    // Table files are a few kilobytes; anything past this is not one.
    static constexpr std::uintmax_t MaxFileBytes = 1024 * 1024;

    // Reads the file whole and builds the table from it.
    int readFile(const std::filesystem::path& path);
    // Builds the table from the bytes of a table file. A line naming a code above 255 refuses the
    // whole file: leaving it out would give the embosser a table that is not the file's.
    int build(std::vector<uint8_t> bytes);

    const BrailleTable& table() const { return asciibrltable; }
    // Why the last build or read failed, naming the line ("line 7: the character code 300 is
    // above 255"); empty after success.
    const std::string& failure() const { return m_failure; }
    // The 1-based line that refused the file; 0 when no line did.
    int failedLine() const { return m_failedLine; }

private:
    bool readLine(std::string& line);

    std::vector<uint8_t> data;
    int64_t ptr = 0;
    BrailleTable asciibrltable{};
    std::string m_failure;
    int m_failedLine = 0;
};

} // namespace brelmont::toolbox
