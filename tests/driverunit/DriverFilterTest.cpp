// The driver's filter run as CUPS runs it, on files and without a scheduler; every job it writes is
// read back with the program's own decoder and braille reader and held against liblouis's own
// translation of the same text.
#include "FilterRun.h"
#include "ProgramRun.h"
#include "driver/ModelProfiles.h"
#include "driver/geometry/CellPlaces.h"
#include "pdf/TestPdf.h"

#include "ScratchDir.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <pwd.h>
#include <unistd.h>

#include <algorithm>
#include <fstream>

namespace fs = std::filesystem;
using namespace brelmont;
using namespace brelmont::testing;
using ::testing::AllOf;
using ::testing::HasSubstr;

// Short lines (no wrapping at any spacing), a blank line among them, capitals, digits and signs, at
// both resolutions (the job languages themselves are the other tests' to vary). A form feed starts
// the second page, whose opening blank line is dropped and whose lines are all indented: the reader
// finds its first cell at the layout's third, where the places round differently from the first.
TEST(DriverFilter, TextReadsBackAsLiblouisTranslatesAtEverySpacingAndModel) {
    const std::pair<std::string, std::vector<std::u32string>> tables[] = {
        {"en-ueb-g1.ctb", {U"Lantern keeper", U"climbed 90 steps", U"", U"quick fox; wiz?", U"  Jumps (2)"}},
        {"de-de-comp8.ctb", {U"Grüße aus Köln", U"Preis: 12,50", U"", U"[a+b] = {c}", U"  ÄÖÜ äöü"}},
    };
    for (const auto& [table, lines] : tables) {
        std::string document, indented = "\f\n";
        Page expected;
        for (const std::u32string& line : lines) {
            document += utf8(line) + "\n", indented += "  " + utf8(line) + "\n";
            expected.push_back(louis(table, line));
        }
        document += indented;
        for (const char* model : {"Merriden", "Quorrin"})
            for (const char* spacing : {"Congress", "National", "Microbraille", "Korean", "Jumbo"}) {
                SCOPED_TRACE(table + " " + model + " " + spacing);
                const Result r =
                    run({.model = model,
                         .document = document,
                         .options = "BrailleTable=" + table + " BrailleSpacing=" + spacing + " BraillePageNumbers=Off"});
                ASSERT_EQ(r.status, 0) << r.log;
                EXPECT_EQ(r.job.pages, (std::vector<Page>{expected, expected}));
            }
    }
}

TEST(DriverFilter, ParagraphsWrapAtBlanksAndWordsLongerThanALineAreCut) {
    std::u32string paragraph;
    for (int i = 0; i < 1200; ++i) paragraph += std::u32string(size_t(1 + i * 7 % 9), char32_t(U'a' + i % 26)) + U" ";
    paragraph.pop_back();
    const int64_t cells = cellsOnLetter("Congress");
    const Result wrapped = run({.document = utf8(paragraph) + "\n", .options = "BraillePageNumbers=Off"});
    ASSERT_EQ(wrapped.status, 0) << wrapped.log;
    ASSERT_GT(wrapped.job.pages.size(), 1u); // the paragraph goes on over a page end
    BrailleLine joined;
    std::vector<const BrailleLine*> lines;
    for (const Page& page : wrapped.job.pages)
        for (const BrailleLine& line : page) lines.push_back(&line);
    for (size_t i = 0; i < lines.size(); ++i) {
        EXPECT_LE(int64_t(lines[i]->size()), cells);
        // Full: the next line's first word would not have fitted after a blank.
        if (i + 1 < lines.size()) {
            const BrailleLine& next = *lines[i + 1];
            EXPECT_GT(int64_t(lines[i]->size() + 1) + (std::find(next.begin(), next.end(), 0) - next.begin()), cells);
        }
        if (i > 0) joined.push_back(0);
        joined.insert(joined.end(), lines[i]->begin(), lines[i]->end());
    }
    EXPECT_EQ(joined, louis("en-ueb-g1.ctb", paragraph));

    // A word longer than the line is cut, after its indent.
    const std::u32string word = U"  " + std::u32string(size_t(cells) + 9, U'x');
    const Result cutWord = run({.document = utf8(word) + "\n", .options = "BraillePageNumbers=Off"});
    ASSERT_EQ(cutWord.status, 0) << cutWord.log;
    const BrailleLine all = louis("en-ueb-g1.ctb", word);
    const Page cutLines{BrailleLine(all.begin(), all.begin() + cells), BrailleLine(all.begin() + cells, all.end())};
    EXPECT_EQ(cutWord.job.pages, std::vector<Page>{cutLines});
}

TEST(DriverFilter, BrfGoesThroughByteForByteAndLongLinesAreCutWithAWarning) {
    const std::string brf =
        "A1B'K2L@CIF/MSP\"E3H9O6R^D\r\n\r\nJG>NTQ,*5<-U8V.%[$+X!&;:4\r\nMORE\r\n"
        "\fXZ7(_?W]#Y)=\r\n  \\0 LAST\r\n";
    const Result through = run({.model = "Orvin 200", .document = brf, .brf = true});
    ASSERT_EQ(through.status, 0) << through.log;
    EXPECT_EQ(through.job.brf(), brf);

    const int64_t cells = cellsOnLetter("Congress");
    const std::string longLine(size_t(cells) + 20, 'L');
    const Result cut = run({.document = "FIRST\r\n" + longLine + "\r\nNEXT\r\n", .brf = true});
    ASSERT_EQ(cut.status, 0) << cut.log;
    EXPECT_THAT(cut.log, HasSubstr("WARNING: line 2 is longer than the page"));
    EXPECT_EQ(cut.job.brf(), "FIRST\r\n" + longLine.substr(0, size_t(cells)) + "\r\nNEXT\r\n");
}

// Five pages "A" to "E"; "_" is a blank back page.
TEST(DriverFilter, PageRangesCopiesAndInterpointSheets) {
    // Options, copies, the pages in order.
    // clang-format off
    const std::tuple<const char*, int, const char*> rows[] = {
        {"page-ranges=2", 1, "B"}, {"page-ranges=1-2,4", 1, "ABD"}, {"page-ranges=1-3", 2, "ABCABC"},
        {"page-ranges=1-3 collate=false", 2, "AABBCC"}, {"Duplex=DuplexNoTumble", 1, "ABCDE"},
        {"Duplex=DuplexNoTumble page-ranges=1-3", 2, "ABC_ABC"},
        {"Duplex=DuplexNoTumble page-ranges=1-3 multiple-document-handling=separate-documents-uncollated-copies", 2, "ABABC_C"},
        {"Duplex=DuplexNoTumble page-ranges=1-4 collate=false", 2, "ABABCDCD"},
    };
    // clang-format on
    for (const auto& [options, copies, order] : rows) {
        SCOPED_TRACE(options);
        const Result r = run({.document = "A\fB\fC\fD\fE\r\n", .options = options, .brf = true, .copies = copies});
        ASSERT_EQ(r.status, 0) << r.log;
        EXPECT_EQ(r.job.order(), order);
        EXPECT_EQ(r.out.find("\x1b&l1S") != std::string::npos, std::string(options).find("Duplex") != std::string::npos);
    }
}

// Text, BRF and damaged PDFs (which pattern files are refused is the reader's test).
TEST(DriverFilter, RefusedJobsWriteNothing) {
    ScratchDir scratch("driver-refused");
    TestPdf good;
    good.page().text(72, 72, 12, "secret");
    good.save(scratch.path() / "plain.pdf");
    const ProgramRun encrypted = runProgram("qpdf", "--encrypt user owner 256 -- " + (scratch.path() / "plain.pdf").string() +
                                                        " " + (scratch.path() / "locked.pdf").string());
    ASSERT_EQ(encrypted.status, 0) << encrypted.err;
    TestPdf flat;
    flat.page().page(0, 792);
    const std::string whole = good.bytes(), pdf = "application/pdf";
    // clang-format off
    const std::tuple<bool, std::string, std::string, std::string, const char*> rows[] = { // BRF, type, document, options, what is said
        {false, "", "PK\x03\x04\x14", "", "control byte 3"}, {true, "", "ABC\r\nDE\xc8\r\n", "", "line 2 holds the byte 200"},
        {false, "", "hello\n", "BrailleTable=xx-none.ctb", "xx-none.ctb"}, {false, "", "", "", "nothing to emboss"},
        {false, "", "hello\n", "karro-outputpath=/proc/brelmont-job.kprn", "output"},
        {false, "", "hello\n", "karro-preview=true", "shared folder"}, // without its shared folder
        {false, pdf, whole.substr(0, whole.size() / 2), "", "not a PDF that can be read"},
        {false, pdf, fileText(scratch.path() / "locked.pdf"), "", "password"},
        {false, pdf, flat.bytes(), "", "page 2 of the PDF has no size"}, {false, pdf, whole, "karro-patternfile=none.txt", "none.txt"},
    };
    // clang-format on
    for (const auto& [brf, type, document, options, message] : rows) {
        const Result r = run(
            {.document = document, .options = options, .brf = brf, .shared = scratch.path() / "missing", .contentType = type});
        EXPECT_EQ(r.status, 1) << message;
        EXPECT_THAT(r.log, AllOf(HasSubstr("ERROR: "), HasSubstr(message)));
        EXPECT_EQ(r.out, "") << message;
    }
}

TEST(DriverFilter, PreviewWritesTheJobCopyAndThenTheRequest) {
    ScratchDir shared("driver-preview");
    const Result r =
        run({.document = "preview me\n", .options = "karro-preview=true BraillePageNumbers=Off", .shared = shared.path()});
    ASSERT_EQ(r.status, 0) << r.log;
    EXPECT_EQ(r.out, "");
    EXPECT_THAT(r.log, HasSubstr("INFO: Sent to preview"));
    const Read copy = readJob(fileText(shared.path() / ".preview.kprn"));
    ASSERT_EQ(copy.pages.size(), 1u);
    EXPECT_EQ(copy.pages[0], Page{louis("en-ueb-g1.ctb", U"preview me")});
    const std::string request = fileText(shared.path() / ".preview.lock");
    EXPECT_EQ(request, "7\n" + std::string(::getpwuid(::geteuid())->pw_name) + "\nLetter to Ann\nembosser\n" +
                           std::to_string(driver::profileByMakeAndModel("Merriden")->code) + "\n");
}

TEST(DriverFilter, TheQueueMirrorIsAppliedAndJobOptionsWinOverIt) {
    ScratchDir shared("driver-mirror");
    fs::create_directory(shared.path() / ".lpoptions");
    std::ofstream(shared.path() / ".lpoptions" / "embosser.lpoptions") << "BrailleSpacing=Jumbo BraillePageNumbers=Off\n";
    const int64_t jumboDot = driver::CellPlaces(driver::physicalSpacing("Jumbo"), 100, 6).dotStep();
    // With page numbers the first line ends in the number, at the last cells of a Jumbo line.
    const BrailleLine text = louis("en-ueb-g1.ctb", U"mirror"), number = louis("en-ueb-g1.ctb", U"1");
    BrailleLine numbered = text;
    numbered.resize(size_t(cellsOnLetter("Jumbo")) - number.size(), 0);
    numbered.insert(numbered.end(), number.begin(), number.end());
    for (const char* options : {"", "BraillePageNumbers=On"}) {
        SCOPED_TRACE(options);
        const Result r = run({.document = "mirror\n", .options = options, .shared = shared.path()});
        ASSERT_EQ(r.status, 0) << r.log;
        EXPECT_EQ(viewer::readBraillePage(*r.job.doc->m_embPages[0]).search.grid.dotPitchX, jumboDot);
        EXPECT_EQ(r.job.pages.at(0).at(0), *options ? numbered : text);
    }
}
