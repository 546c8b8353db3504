#include "job/Diagnostic.h"

#include <cctype>

namespace brelmont::job {

namespace {

const char* categoryName(DiagnosticCategory category) {
    switch (category) {
    case DiagnosticCategory::Notice: return "Notice";
    case DiagnosticCategory::SyntaxError: return "Syntax Error";
    case DiagnosticCategory::DataError: return "Data Error";
    case DiagnosticCategory::RasterError: return "Raster Error";
    case DiagnosticCategory::PageError: return "Page Error";
    case DiagnosticCategory::ColourBlockError: return "Colour Block Error";
    }
    return "Error";
}

} // namespace

std::string Diagnostic::describe() const {
    return std::string(categoryName(category)) + " (" + std::to_string(offset) + "): " + message;
}

std::string Diagnostic::sentence() const {
    std::string name = categoryName(category);
    for (size_t i = 1; i < name.size(); ++i) name[i] = char(std::tolower(static_cast<unsigned char>(name[i])));
    return name + " at byte " + std::to_string(offset) + ": " + message + ".";
}

Diagnostic failureDiagnostic(int64_t resultCode, int64_t offset, const std::string& what) {
    switch (resultCode) {
    case -2:
        return {DiagnosticCategory::DataError, offset, what + ": the data ends inside a command, or a row has the wrong length"};
    case -3: return {DiagnosticCategory::RasterError, offset, what + ": a raster that does not fit the resolution"};
    default:
        return {DiagnosticCategory::SyntaxError, offset, what + ": a byte that starts no command, or a missing or bad operand"};
    }
}

} // namespace brelmont::job
