// A small PDF writer for tests that need PDF files of their own (the driver's PDF filter is fed with them).
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace brelmont::testing {

struct PdfColour {
    double r = 0, g = 0, b = 0; // 0..1
};

// Writes an uncompressed PDF 1.4 file. Text is Helvetica (base-14, not embedded) in WinAnsiEncoding,
// so it can be extracted again with pdftotext.
class TestPdf {
public:
    // Starts a new page of width x height points; drawing calls go to the last page started
    // (a drawing call before any page() starts a default Letter page).
    TestPdf& page(double width = 612, double height = 792);

    // Coordinates are points from the page's TOP-LEFT corner (y grows downwards); the writer converts to
    // PDF's bottom-left origin.
    // One line of Latin-1/ASCII text (bytes as given, not UTF-8) in Helvetica of `size` points whose
    // baseline is at (x, baseline).
    TestPdf& text(double x, double baseline, double size, std::string_view text, PdfColour colour = {});
    // (x, y) is the rectangle's top-left corner.
    TestPdf& fillRect(double x, double y, double w, double h, PdfColour colour);
    TestPdf& fillCircle(double cx, double cy, double r, PdfColour colour); // four Bezier arcs
    TestPdf& line(double x1, double y1, double x2, double y2, double width, PdfColour colour = {});
    // The whole PDF file: header, objects, xref table and trailer; with no page started it holds one blank
    // Letter page, as a PDF without pages does not open.
    std::string bytes() const;
    bool save(const std::string& path) const;

private:
    struct Page {
        double width = 612, height = 792;
        std::string content;
    };
    // Adds the operators to the last page's content stream; `draw` gets the page's height.
    template <typename Draw>
    TestPdf& draw(Draw draw) {
        if (m_pages.empty()) page();
        m_pages.back().content += draw(m_pages.back().height);
        return *this;
    }

    std::vector<Page> m_pages;
};

} // namespace brelmont::testing
