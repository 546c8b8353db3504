#include "driver/pdf/PdfDocument.h"

#include <poppler-document.h>
#include <poppler-global.h>
#include <poppler-image.h>
#include <poppler-page-renderer.h>
#include <poppler-page.h>

#include <cstdint>

namespace brelmont::driver {

namespace {

// Poppler's own complaints about a document would reach the job's log as noise; what matters is
// reported by the checks below.
void quiet(const std::string&, void*) {}

std::u32string utf32(const poppler::ustring& text) {
    std::u32string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        const char32_t unit = text[i];
        if (unit >= 0xD800 && unit < 0xDC00 && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] < 0xE000)
            out += 0x10000 + ((unit - 0xD800) << 10) + (text[++i] - 0xDC00);
        else out += unit;
    }
    return out;
}

PdfDocument::Size sizeOf(const poppler::page& page) {
    const poppler::rectf box = page.page_rect();
    const bool turned = page.orientation() == poppler::page::landscape || page.orientation() == poppler::page::seascape;
    return turned ? PdfDocument::Size{box.height(), box.width()} : PdfDocument::Size{box.width(), box.height()};
}

} // namespace

PdfDocument::PdfDocument(std::unique_ptr<poppler::document> document) : m_document(std::move(document)) {}
PdfDocument::~PdfDocument() = default;

std::unique_ptr<PdfDocument> PdfDocument::open(const std::string& path, std::string* error) {
    poppler::set_debug_error_function(quiet, nullptr);
    std::unique_ptr<poppler::document> document(poppler::document::load_from_file(path));
    if (!document) return *error = "the document is not a PDF that can be read (damaged or not a PDF)", nullptr;
    if (document->is_locked()) return *error = "the PDF is protected by a password and cannot be opened", nullptr;
    if (document->pages() < 1) return *error = "the PDF has no pages", nullptr;
    std::unique_ptr<PdfDocument> pdf(new PdfDocument(std::move(document)));
    for (int i = 0; i < pdf->pages(); ++i)
        if (const Size size = pdf->pageSize(i); !(size.width >= 1 && size.height >= 1 && size.width < 1e6 && size.height < 1e6))
            return *error = "page " + std::to_string(i + 1) + " of the PDF has no size", nullptr;
    return pdf;
}

int PdfDocument::pages() const { return m_document->pages(); }

PdfDocument::Size PdfDocument::pageSize(int index) const {
    const std::unique_ptr<poppler::page> page(m_document->create_page(index));
    return page ? sizeOf(*page) : Size{};
}

std::vector<PdfWord> PdfDocument::words(int index) const {
    std::vector<PdfWord> words;
    const std::unique_ptr<poppler::page> page(m_document->create_page(index));
    if (!page) return words;
    for (const poppler::text_box& box : page->text_list()) {
        const poppler::rectf r = box.bbox();
        words.push_back({utf32(box.text()), r.left(), r.top(), r.right(), r.bottom(), box.has_space_after()});
    }
    return words;
}

RgbImage PdfDocument::render(int index, double scale, int64_t width, int64_t height) const {
    RgbImage sheet{width, height, {}};
    const std::unique_ptr<poppler::page> page(m_document->create_page(index));
    poppler::page_renderer renderer;
    renderer.set_render_hints(poppler::page_renderer::antialiasing | poppler::page_renderer::text_antialiasing);
    renderer.set_line_mode(poppler::page_renderer::line_solid);
    renderer.set_image_format(poppler::image::format_rgb24);
    // The whole sheet at once: poppler leaves what lies beyond the page white, as paper.
    const poppler::image image = page && width > 0 && height > 0 && width <= INT32_MAX && height <= INT32_MAX
                                     ? renderer.render_page(page.get(), 72 * scale, 72 * scale, 0, 0, int(width), int(height))
                                     : poppler::image();
    if (!image.is_valid() || image.width() != width || image.height() != height) {
        sheet.pixels.assign(size_t(width * height * 3), 0xFF);
        return sheet;
    }
    sheet.pixels.reserve(size_t(width * height * 3));
    for (int64_t y = 0; y < height; ++y) {
        const auto* row = reinterpret_cast<const uint8_t*>(image.const_data() + y * image.bytes_per_row());
        sheet.pixels.insert(sheet.pixels.end(), row, row + width * 3);
    }
    return sheet;
}

} // namespace brelmont::driver
