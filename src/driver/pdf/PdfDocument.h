// A PDF document as the driver reads it, through poppler: each page's size, its words with their
// places, and the page rendered onto a sheet. One page is held at a time.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace poppler {
class document;
}

namespace brelmont::driver {

// A word of a page, in points from the page's top left corner.
struct PdfWord {
    std::u32string text;
    double left = 0, top = 0, right = 0, bottom = 0;
    bool spaceAfter = false;
};

// Rows of RGB triples.
struct RgbImage {
    int64_t width = 0, height = 0;
    std::vector<uint8_t> pixels;
    const uint8_t* at(int64_t x, int64_t y) const { return pixels.data() + (y * width + x) * 3; }
};

class PdfDocument {
public:
    // None, with `error` set, when the file is not a PDF poppler can read, is locked by a password,
    // has no pages, or has a page without an area.
    static std::unique_ptr<PdfDocument> open(const std::string& path, std::string* error);
    ~PdfDocument();

    int pages() const;
    // Page `index` (from 0) as displayed, rotation applied, in points; 0 x 0 for a page that
    // cannot be had.
    struct Size {
        double width = 0, height = 0;
    };
    Size pageSize(int index) const;
    // The words of a page in reading order.
    std::vector<PdfWord> words(int index) const;
    // The page drawn onto a white sheet of `width` x `height` pixels from its top left corner, at
    // `scale` pixels per point; thin lines are drawn a whole pixel wide so that they never vanish.
    RgbImage render(int index, double scale, int64_t width, int64_t height) const;

private:
    explicit PdfDocument(std::unique_ptr<poppler::document> document);
    std::unique_ptr<poppler::document> m_document;
};

} // namespace brelmont::driver
