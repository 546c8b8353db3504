// Print documents through the driver's filter: PDFs made here, their emboss and ink pages read
// back with the program's own decoder and braille reader, and held against liblouis and poppler.
#include "FilterRun.h"
#include "ProgramRun.h"
#include "ScratchDir.h"
#include "pdf/TestPdf.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <map>

namespace {

namespace fs = std::filesystem;
using namespace brelmont;
using namespace brelmont::testing;

const std::vector<std::string> Paragraph = {
    "The lantern keeper climbed the stone steps every evening,", "counting them aloud so that the children below could hear.",
    "There were ninety of them, worn smooth in the middle where", "feet had gone for a hundred years."};

std::u32string joined(const std::vector<std::string>& lines) {
    std::u32string text;
    for (const std::string& line : lines) text += (text.empty() ? U"" : U" ") + std::u32string(line.begin(), line.end());
    return text;
}

Result print(const TestPdf& pdf, const std::string& model, const std::string& options, const fs::path& shared = {}) {
    return run({.model = model, .document = pdf.bytes(), .options = options, .shared = shared, .contentType = "application/pdf"});
}

// The cells of a page's lines, each without its leading blanks, joined by one blank cell.
BrailleLine readText(const std::vector<Page>& pages) {
    BrailleLine all;
    for (const Page& page : pages)
        for (BrailleLine line : page) {
            line.erase(line.begin(), std::find_if(line.begin(), line.end(), [](uint8_t c) { return c != 0; }));
            if (line.empty()) continue;
            if (!all.empty()) all.push_back(0);
            all.insert(all.end(), line.begin(), line.end());
        }
    return all;
}

// The raised positions of the first emboss page in [x0, x1) x [y0, y1).
int64_t raised(const Result& r, int64_t x0, int64_t y0, int64_t x1, int64_t y1) {
    const job::PageData& page = *r.job.doc->m_embPages[0];
    int64_t n = 0;
    for (int64_t y = std::max<int64_t>(0, y0); y < std::min(page.m_height, y1); ++y)
        n += std::count_if(page.row(y) + std::max<int64_t>(0, x0), page.row(y) + std::min(page.m_width, x1),
                           [](uint8_t v) { return v; });
    return n;
}
constexpr int64_t All = INT64_MAX;

} // namespace

TEST(PdfFilter, TextBecomesBrailleWhereItStandsAndRunsOnToContinuationSheets) {
    TestPdf one;
    one.page();
    for (size_t i = 0; i < Paragraph.size(); ++i) one.text(144, 200 + 14 * double(i), 12, Paragraph[i]);
    // At 20 positions per inch the cells stand so close that clearing one's place must not reach
    // the one before it. The text starts at neither the layout's first line nor its first cell, where
    // the places of each spacing, 6-dot and 8-dot, round differently from those of the first.
    for (const char* table : {"en-ueb-g1.ctb", "de-de-comp8.ctb"})
        for (const char* model : {"Quorrin", "Merriden"})
            for (const char* spacing : {"Congress", "National", "Microbraille", "Korean", "Jumbo"}) {
                SCOPED_TRACE(std::string(table) + " " + model + " " + spacing);
                const Result placed = print(one, model, std::string("BrailleTable=") + table + " BrailleSpacing=" + spacing);
                ASSERT_EQ(placed.status, 0) << placed.log;
                EXPECT_EQ(readText(placed.job.pages), louis(table, joined(Paragraph)));
            }
    const Result r = print(one, "Merriden", "");
    ASSERT_EQ(r.status, 0) << r.log;
    ASSERT_EQ(r.job.pages.size(), 1u);
    // The braille starts where the print does: two inches in (1.5 inside the margin), 2.5 down.
    EXPECT_EQ(raised(r, 0, 0, All, 240) + raised(r, 0, 0, 190, All), 0);
    EXPECT_GT(raised(r, 190, 240, 215, 300), 0);

    // Sixty lines from two thirds down the page: what does not fit follows on continuation sheets.
    TestPdf tall;
    tall.page();
    std::vector<std::string> lines;
    for (int i = 0; i < 60; ++i) lines.push_back("line " + std::to_string(i) + " of a long text that needs more room");
    for (size_t i = 0; i < lines.size(); ++i) tall.text(72, 520 + 4 * double(i), 3.5, lines[i]);
    const Result runOn = print(tall, "Merriden", "");
    ASSERT_EQ(runOn.status, 0) << runOn.log;
    EXPECT_GT(runOn.job.pages.size(), 2u);
    EXPECT_EQ(readText(runOn.job.pages), louis("en-ueb-g1.ctb", joined(lines)));

    // StandardText off: the same text is drawn as dots, not cells.
    const Result drawn = print(one, "Merriden", "StandardText=False");
    ASSERT_EQ(drawn.status, 0) << drawn.log;
    EXPECT_TRUE(drawn.job.pages.at(0).empty());
    EXPECT_GT(raised(drawn, 190, 250, 850, 320), 200);
}

TEST(PdfFilter, PatternsContrastAndBrightness) {
    ScratchDir shared("pdf-patterns");
    fs::create_directories(shared.path() / "Patterns");
    std::ofstream(shared.path() / "Patterns" / "two.txt") << "brelmont-patterns 1\ntexture dots\nx...\n....\n"
                                                          << "texture lines\nxxxx\n....\n";
    TestPdf areas;
    areas.page().fillRect(72, 72, 144, 144, {0.9, 0.3, 0.3}).fillRect(216, 72, 144, 144, {0.3, 0.3, 0.9});
    const Result r =
        print(areas, "Orvin 200", "karro-patternfile=" + (shared.path() / "Patterns" / "two.txt").string(), shared.path());
    ASSERT_EQ(r.status, 0) << r.log;
    // Inside each area, away from its edges: one dot in 8 on the left, one row in 2 on the right.
    EXPECT_EQ(raised(r, 120, 120, 280, 280), 160 * 160 / 8);
    EXPECT_EQ(raised(r, 320, 120, 480, 280), 160 * 160 / 2);

    // Bands of grey from white to dark: however dark the brightness makes them, the paper around
    // the bands and the white band stay blank.
    TestPdf greys;
    greys.page();
    for (int band = 0; band < 10; ++band)
        greys.fillRect(72, 72 + 36.0 * band, 468, 36, {1 - band * 0.08, 1 - band * 0.08, 1 - band * 0.08});
    // Brightness and contrast move the raised dots as they say: the light bands drop out with more
    // light or more contrast, and come in with less contrast.
    const auto dots = [&](const std::string& options) {
        const Result g = print(greys, "Orvin 200", options);
        EXPECT_EQ(g.status, 0) << g.log;
        return raised(g, 0, 0, All, All);
    };
    const int64_t plain = dots("");
    EXPECT_LT(dots("karro-brightness=40"), plain);
    EXPECT_LT(dots("karro-contrast=60"), plain);
    EXPECT_GT(dots("karro-contrast=-60"), plain);
    const Result darkest = print(greys, "Orvin 200", "karro-brightness=-100");
    ASSERT_EQ(darkest.status, 0) << darkest.log;
    EXPECT_EQ(raised(darkest, 0, 0, All, All), 650 * 450);
    EXPECT_EQ(raised(darkest, 100, 150, 750, 600), 650 * 450);
}

// A 0.3 point line is embossed whole, at the thin-line level asked for and at no other.
TEST(PdfFilter, ThinLinesTakeTheIntensityAskedFor) {
    TestPdf thin;
    thin.page().line(72, 500, 540, 500, 0.3);
    const Result r = print(thin, "Orvin 200", "ThinLineIntensity=2");
    ASSERT_EQ(r.status, 0) << r.log;
    const job::PageData& page = *r.job.doc->m_embPages[0];
    std::map<int, int64_t> levels;
    for (int64_t y = 0; y < page.m_height; ++y)
        for (int64_t x = 0; x < page.m_width; ++x) ++levels[page.row(y)[x]];
    levels.erase(0);
    ASSERT_EQ(levels.size(), 1u);
    EXPECT_EQ(levels.begin()->first, 2);
    EXPECT_GE(levels.begin()->second, int64_t(468 * 100 / 72 * 0.95));
}

// The ink page of each ink form against poppler's own rendering at 300 dpi (pdftoppm): colour
// within 3 levels on average; dithered grey within 10% over blocks of 12 x 12 pixels.
TEST(PdfFilter, InkPagesMatchPopplerAndPrintModesMakeTheirSheets) {
    ScratchDir scratch("pdf-ink");
    TestPdf pdf;
    pdf.page()
        .fillRect(72, 72, 200, 100, {0.9, 0.2, 0.1})
        .fillCircle(400, 300, 80, {0.1, 0.5, 0.9})
        .text(72, 600, 24, "Ink and dots");
    pdf.save(scratch.path() / "page.pdf");
    for (const char* colour : {"color", "gray"}) {
        const ProgramRun rendered =
            runProgram("pdftoppm", std::string("-r 300 -singlefile ") + (*colour == 'g' ? "-gray " : "") +
                                       (scratch.path() / "page.pdf").string() + " " + (scratch.path() / colour).string());
        ASSERT_EQ(rendered.status, 0) << rendered.err;
    }
    const auto image = [&](const char* name) {
        const std::string bytes = fileText(scratch.path() / name);
        int width = 0, height = 0, max = 0, header = 0;
        EXPECT_EQ(std::sscanf(bytes.c_str(), "P%*d %d %d %d%n", &width, &height, &max, &header), 3);
        return std::tuple{width, height, bytes.substr(size_t(header) + 1)};
    };
    const auto [width, height, rgb] = image("color.ppm");
    const auto [greyWidth, greyHeight, grey] = image("gray.pgm");

    const std::pair<const char*, bool> inks[] = {
        {"Quorrin", true}, {"Quorrin", false}, {"Orvin Color Ink", true}, {"Merriden Color Ink", false}, {"Vesk Ink", false}};
    for (const auto& [model, colour] : inks) {
        SCOPED_TRACE(std::string(model) + (colour ? " colour" : " grey"));
        const Result r = print(pdf, model, std::string("PageSize=Letter PrintMode=2 ColorModel=") + (colour ? "Color" : "Gray"));
        ASSERT_EQ(r.status, 0) << r.log;
        ASSERT_TRUE(r.job.doc->m_embPages.empty());
        ASSERT_EQ(r.job.doc->m_inkPages.size(), 1u);
        const job::PageData& ink = *r.job.doc->m_inkPages[0];
        const int64_t step = ink.m_kind == 3 ? 3 : 1; // one-bit pages are 100 dpi
        ASSERT_EQ(ink.m_width * step, width);
        ASSERT_EQ(ink.m_height * step, height);
        if (colour) {
            ASSERT_EQ(ink.m_kind, 4);
            double difference = 0;
            for (int64_t y = 0; y < height; ++y)
                for (int64_t x = 0; x < width * 3; ++x)
                    difference += std::abs(ink.row(y)[x] - uint8_t(rgb[size_t(y * width * 3 + x)]));
            EXPECT_LT(difference / double(width * height * 3), 3);
            continue;
        }
        // A black dot is a black pixel; 12 x 12 pixels are compared by their mean.
        const auto dark = [&](int64_t x, int64_t y) -> double {
            const uint8_t* p = ink.row(y / step) + (x / step) * (ink.m_kind == 4 ? 3 : 1);
            return ink.m_kind == 4 ? p[0] < 128 : p[0] != 0;
        };
        int64_t blocks = 0, off = 0;
        for (int64_t by = 0; by + 12 <= greyHeight; by += 12)
            for (int64_t bx = 0; bx + 12 <= greyWidth; bx += 12, ++blocks) {
                double ours = 0, theirs = 0;
                for (int64_t y = by; y < by + 12; ++y)
                    for (int64_t x = bx; x < bx + 12; ++x)
                        ours += dark(x, y), theirs += 1 - uint8_t(grey[size_t(y * greyWidth + x)]) / 255.0;
                off += std::abs(ours - theirs) / 144 > 0.1;
            }
        EXPECT_LT(double(off) / double(blocks), 0.01);
    }

    // The sheets of each print mode, for a page whose braille runs on to further sheets: the ink
    // page on a sheet of its own, or on the first emboss sheet with blank ink on the others.
    TestPdf tall;
    tall.page().fillRect(72, 72, 100, 100, {0.5, 0.5, 0.5});
    for (int i = 0; i < 40; ++i) tall.text(72, 400 + 8 * double(i), 7, "a line of text that needs room " + std::to_string(i));
    size_t sheets = 0;
    for (const int mode : {1, 2, 0, 3}) {
        SCOPED_TRACE(mode);
        const Result r = print(tall, "Orvin Color Ink", "PrintMode=" + std::to_string(mode));
        ASSERT_EQ(r.status, 0) << r.log;
        if (mode == 1) sheets = r.job.doc->m_embPages.size();
        EXPECT_GT(sheets, 1u);
        EXPECT_EQ(r.job.doc->m_embPages.size(), mode == 2 ? 0 : sheets);
        EXPECT_EQ(r.job.doc->m_inkPages.size(), mode == 1 ? 0 : mode == 3 ? sheets : 1);
        EXPECT_EQ(r.out.find("PRINTMODE") != std::string::npos, mode != 1);
        EXPECT_NE(r.out.find("@PJL SET PRINTMODE=" + std::to_string(mode)) != std::string::npos, mode == 1);
        EXPECT_EQ(r.job.doc->m_printerType, 221203);
    }
}
