#include "pdf/TestPdf.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <fstream>

namespace brelmont::testing {

namespace {

// Each value followed by a blank. PDF reals allow neither exponents nor locale-dependent
// separators, so numbers are written with to_chars in fixed notation.
template <typename... Values>
std::string nums(Values... values) {
    std::string out;
    for (const double value : {double(values)...}) {
        char buffer[64];
        const double finite = std::isfinite(value) ? value : 0.0;
        out.append(buffer, std::to_chars(buffer, buffer + sizeof buffer, finite, std::chars_format::fixed, 3).ptr) += ' ';
    }
    return out;
}

std::string fill(const PdfColour& c, const char* op) {
    return nums(std::clamp(c.r, 0.0, 1.0), std::clamp(c.g, 0.0, 1.0), std::clamp(c.b, 0.0, 1.0)) + op + "\n";
}

// A literal string with its parentheses and backslashes escaped; the tests' texts are printable.
std::string pdfString(std::string_view text) {
    std::string out = "(";
    for (const char c : text) out += (c == '(' || c == ')' || c == '\\' ? "\\" : "") + std::string(1, c);
    return out + ")";
}

} // namespace

TestPdf& TestPdf::page(double width, double height) {
    m_pages.push_back(Page{width, height, {}});
    return *this;
}

TestPdf& TestPdf::text(double x, double baseline, double size, std::string_view text, PdfColour colour) {
    return draw([&](double height) {
        return "q\n" + fill(colour, "rg") + "BT\n/F1 " + nums(size) + "Tf\n" + nums(x, height - baseline) + "Td\n" +
               pdfString(text) + " Tj\nET\nQ\n";
    });
}

TestPdf& TestPdf::fillRect(double x, double y, double w, double h, PdfColour colour) {
    return draw([&](double height) { return "q\n" + fill(colour, "rg") + nums(x, height - y - h, w, h) + "re\nf\nQ\n"; });
}

TestPdf& TestPdf::fillCircle(double cx, double cy, double r, PdfColour colour) {
    return draw([&](double height) {
        // Control-point distance for a quarter circle made of one cubic Bezier: 4/3 * (sqrt(2) - 1).
        const double k = r * 0.5522847498307936, y = height - cy;
        return "q\n" + fill(colour, "rg") + nums(cx + r, y) + "m\n" + nums(cx + r, y + k, cx + k, y + r, cx, y + r) + "c\n" +
               nums(cx - k, y + r, cx - r, y + k, cx - r, y) + "c\n" + nums(cx - r, y - k, cx - k, y - r, cx, y - r) + "c\n" +
               nums(cx + k, y - r, cx + r, y - k, cx + r, y) + "c\nh\nf\nQ\n";
    });
}

TestPdf& TestPdf::line(double x1, double y1, double x2, double y2, double width, PdfColour colour) {
    return draw([&](double height) {
        return "q\n" + fill(colour, "RG") + nums(width) + "w\n" + nums(x1, height - y1) + "m\n" + nums(x2, height - y2) +
               "l\nS\nQ\n";
    });
}

// Objects: 1 catalog, 2 page tree, 3 font, then a page and its content stream per page. Poppler
// rejects a page tree with no pages, so a document nobody drew on gets one blank page.
std::string TestPdf::bytes() const {
    static const std::vector<Page> blankDocument(1);
    const std::vector<Page>& pages = m_pages.empty() ? blankDocument : m_pages;
    std::string kids;
    for (size_t i = 0; i < pages.size(); ++i) kids += (i ? " " : "") + std::to_string(4 + 2 * i) + " 0 R";
    std::vector<std::string> objects{"<< /Type /Catalog /Pages 2 0 R >>",
                                     "<< /Type /Pages /Kids [" + kids + "] /Count " + std::to_string(pages.size()) + " >>",
                                     "<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica /Encoding /WinAnsiEncoding >>"};
    for (size_t i = 0; i < pages.size(); ++i) {
        objects.push_back("<< /Type /Page /Parent 2 0 R /MediaBox [0 0 " + nums(pages[i].width, pages[i].height) +
                          "] /Resources << /Font << /F1 3 0 R >> >> /Contents " + std::to_string(5 + 2 * i) + " 0 R >>");
        // The end-of-line before "endstream" is not counted in /Length.
        objects.push_back("<< /Length " + std::to_string(pages[i].content.size()) + " >>\nstream\n" + pages[i].content +
                          "\nendstream");
    }
    // The comment of high bytes marks the file as binary for transfer tools, since text may hold Latin-1.
    std::string out = "%PDF-1.4\n%\xe2\xe3\xcf\xd3\n";
    std::string xref = "xref\n0 " + std::to_string(objects.size() + 1) + "\n0000000000 65535 f \n";
    for (size_t i = 0; i < objects.size(); ++i) {
        char entry[24]; // exactly 20 bytes: readers index into the table by position
        std::snprintf(entry, sizeof entry, "%010zu 00000 n \n", out.size());
        xref += entry;
        out += std::to_string(i + 1) + " 0 obj\n" + objects[i] + "\nendobj\n";
    }
    return out + xref + "trailer\n<< /Size " + std::to_string(objects.size() + 1) + " /Root 1 0 R >>\nstartxref\n" +
           std::to_string(out.size()) + "\n%%EOF\n";
}

// Flushed before the stream is tested, so a full disk shows.
bool TestPdf::save(const std::string& path) const {
    return static_cast<bool>(std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes() << std::flush);
}

} // namespace brelmont::testing
