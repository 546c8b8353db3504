// What decoding a job reports: a category, the byte of the job where it arose, and the text.
#pragma once

#include <cstdint>
#include <string>

namespace brelmont::job {

enum class DiagnosticCategory {
    Notice,           // not a fault ("UEL command ok")
    SyntaxError,      // result -1: a byte that starts no command, or a missing or bad operand
    DataError,        // result -2: the data ended inside a command, or a row has the wrong length
    RasterError,      // result -3: a raster that does not fit the resolution
    PageError,        // a page too large to make, left out
    ColourBlockError, // a colour block whose decoding ended early; its page keeps what was decoded
};

struct Diagnostic {
    DiagnosticCategory category = DiagnosticCategory::Notice;
    int64_t offset = 0; // byte of the job, counted from 0
    std::string message;

    bool isFault() const { return category != DiagnosticCategory::Notice; }
    bool operator==(const Diagnostic&) const = default;

    // One line, as the command-line tool prints it: "Syntax Error (1234): loading PRN file failed: ...".
    std::string describe() const;
    // The same in words, for the window and screen readers: "Syntax error at byte 1234: ...".
    std::string sentence() const;
};

// The failure that a decoder's negative result code stands for.
Diagnostic failureDiagnostic(int64_t resultCode, int64_t offset, const std::string& what);

} // namespace brelmont::job
