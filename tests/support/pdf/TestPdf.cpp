#include "pdf/TestPdf.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <fstream>

namespace brelmont::testing {

namespace {

// PDF reals allow neither exponents nor locale-dependent separators, so numbers are written with
// to_chars in fixed notation and trimmed.
void appendNumber(std::string& out, double value) {
    if (!std::isfinite(value)) value = 0;
    char buffer[64];
    auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, 3);
    if (ec != std::errc()) {
        out += '0';
        return;
    }
    std::string_view digits(buffer, static_cast<size_t>(end - buffer));
    if (digits.find('.') != std::string_view::npos) {
        while (digits.back() == '0') digits.remove_suffix(1);
        if (digits.back() == '.') digits.remove_suffix(1);
    }
    if (digits == "-0") digits = "0";
    out += digits;
}

// Appends each value followed by a space.
template <typename... Values>
void appendNumbers(std::string& out, Values... values) {
    ((appendNumber(out, values), out += ' '), ...);
}

void appendColour(std::string& out, const PdfColour& colour, const char* op) {
    appendNumbers(out, std::clamp(colour.r, 0.0, 1.0), std::clamp(colour.g, 0.0, 1.0), std::clamp(colour.b, 0.0, 1.0));
    out += op;
    out += '\n';
}

void appendUnsigned(std::string& out, size_t value) {
    char buffer[24];
    auto end = std::to_chars(buffer, buffer + sizeof buffer, value).ptr;
    out.append(buffer, end);
}

// A literal string; control bytes go out as octal escapes so line ends inside the text cannot be
// mangled by anything that normalises them.
void appendPdfString(std::string& out, std::string_view text) {
    out += '(';
    for (unsigned char c : text) {
        if (c == '(' || c == ')' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c < 0x20 || c == 0x7f) {
            const char octal[] = {'\\', static_cast<char>('0' + (c >> 6)), static_cast<char>('0' + ((c >> 3) & 7)),
                                  static_cast<char>('0' + (c & 7))};
            out.append(octal, sizeof octal);
        } else {
            out += static_cast<char>(c);
        }
    }
    out += ')';
}

// Fixed-width xref entry: exactly 20 bytes, as readers index into the table by position.
void appendXrefEntry(std::string& out, size_t offset) {
    char digits[24];
    auto end = std::to_chars(digits, digits + sizeof digits, offset).ptr;
    out.append(10 - static_cast<size_t>(end - digits), '0');
    out.append(digits, end);
    out += " 00000 n \n";
}

} // namespace

TestPdf::Page& TestPdf::current() {
    if (m_pages.empty()) page();
    return m_pages.back();
}

TestPdf& TestPdf::page(double width, double height) {
    m_pages.push_back(Page{width, height, {}});
    return *this;
}

TestPdf& TestPdf::text(double x, double baseline, double size, std::string_view text, PdfColour colour) {
    Page& p = current();
    std::string& out = p.content;
    out += "q\n";
    appendColour(out, colour, "rg");
    out += "BT\n/F1 ";
    appendNumber(out, size);
    out += " Tf\n";
    appendNumbers(out, x, p.height - baseline);
    out += "Td\n";
    appendPdfString(out, text);
    out += " Tj\nET\nQ\n";
    return *this;
}

TestPdf& TestPdf::fillRect(double x, double y, double w, double h, PdfColour colour) {
    Page& p = current();
    std::string& out = p.content;
    out += "q\n";
    appendColour(out, colour, "rg");
    appendNumbers(out, x, p.height - y - h, w, h);
    out += "re\nf\nQ\n";
    return *this;
}

TestPdf& TestPdf::fillCircle(double cx, double cy, double r, PdfColour colour) {
    Page& p = current();
    std::string& out = p.content;
    // Control-point distance for a quarter circle made of one cubic Bezier: 4/3 * (sqrt(2) - 1).
    const double k = r * 0.5522847498307936;
    const double y = p.height - cy;
    out += "q\n";
    appendColour(out, colour, "rg");
    appendNumbers(out, cx + r, y);
    out += "m\n";
    appendNumbers(out, cx + r, y + k, cx + k, y + r, cx, y + r);
    out += "c\n";
    appendNumbers(out, cx - k, y + r, cx - r, y + k, cx - r, y);
    out += "c\n";
    appendNumbers(out, cx - r, y - k, cx - k, y - r, cx, y - r);
    out += "c\n";
    appendNumbers(out, cx + k, y - r, cx + r, y - k, cx + r, y);
    out += "c\nh\nf\nQ\n";
    return *this;
}

TestPdf& TestPdf::line(double x1, double y1, double x2, double y2, double width, PdfColour colour) {
    Page& p = current();
    std::string& out = p.content;
    out += "q\n";
    appendColour(out, colour, "RG");
    appendNumber(out, width);
    out += " w\n";
    appendNumbers(out, x1, p.height - y1);
    out += "m\n";
    appendNumbers(out, x2, p.height - y2);
    out += "l\nS\nQ\n";
    return *this;
}

TestPdf& TestPdf::raw(std::string_view contentOperators) {
    std::string& out = current().content;
    out += contentOperators;
    // Keeps the next call's operators from running into the last token of this one.
    if (!out.empty() && out.back() != '\n') out += '\n';
    return *this;
}

std::string TestPdf::bytes() const {
    // Poppler rejects a page tree with no pages, so a document nobody drew on gets one blank page.
    static const std::vector<Page> blankDocument(1);
    const std::vector<Page>& pages = m_pages.empty() ? blankDocument : m_pages;

    // Objects: 1 catalog, 2 page tree, 3 font, then a page and its content stream per page.
    const size_t objectCount = 3 + 2 * pages.size();
    size_t contentSize = 0;
    for (const Page& p : pages) contentSize += p.content.size();

    std::string out;
    out.reserve(contentSize + 300 * pages.size() + 20 * objectCount + 1024);
    std::vector<size_t> offsets(objectCount + 1, 0);

    // The comment of high bytes marks the file as binary for transfer tools, since text may hold Latin-1.
    out += "%PDF-1.4\n%\xe2\xe3\xcf\xd3\n";

    offsets[1] = out.size();
    out += "1 0 obj\n<< /Type /Catalog /Pages 2 0 R >>\nendobj\n";

    offsets[2] = out.size();
    out += "2 0 obj\n<< /Type /Pages /Kids [";
    for (size_t i = 0; i < pages.size(); ++i) {
        if (i) out += ' ';
        appendUnsigned(out, 4 + 2 * i);
        out += " 0 R";
    }
    out += "] /Count ";
    appendUnsigned(out, pages.size());
    out += " >>\nendobj\n";

    offsets[3] = out.size();
    out += "3 0 obj\n<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica /Encoding /WinAnsiEncoding >>\nendobj\n";

    for (size_t i = 0; i < pages.size(); ++i) {
        const Page& p = pages[i];
        const size_t pageObject = 4 + 2 * i;

        offsets[pageObject] = out.size();
        appendUnsigned(out, pageObject);
        out += " 0 obj\n<< /Type /Page /Parent 2 0 R /MediaBox [0 0 ";
        appendNumbers(out, p.width, p.height);
        out += "] /Resources << /Font << /F1 3 0 R >> >> /Contents ";
        appendUnsigned(out, pageObject + 1);
        out += " 0 R >>\nendobj\n";

        offsets[pageObject + 1] = out.size();
        appendUnsigned(out, pageObject + 1);
        out += " 0 obj\n<< /Length ";
        appendUnsigned(out, p.content.size());
        out += " >>\nstream\n";
        out += p.content;
        // The end-of-line before "endstream" is not counted in /Length.
        out += "\nendstream\nendobj\n";
    }

    const size_t xrefOffset = out.size();
    out += "xref\n0 ";
    appendUnsigned(out, objectCount + 1);
    out += "\n0000000000 65535 f \n";
    for (size_t object = 1; object <= objectCount; ++object) appendXrefEntry(out, offsets[object]);
    out += "trailer\n<< /Size ";
    appendUnsigned(out, objectCount + 1);
    out += " /Root 1 0 R >>\nstartxref\n";
    appendUnsigned(out, xrefOffset);
    out += "\n%%EOF\n";
    return out;
}

bool TestPdf::save(const std::string& path) const {
    const std::string data = bytes();
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    if (!file) return false;
    file.write(data.data(), static_cast<std::streamsize>(data.size()));
    file.close();
    return !file.fail();
}

} // namespace brelmont::testing
