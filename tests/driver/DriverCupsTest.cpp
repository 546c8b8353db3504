// The driver the whole way: lp hands a document to the private scheduler, which runs our filter
// with the product's PPD and sends the job to a simulated embosser; the job the embosser received
// is decoded as the companion decodes it and read back as braille.
#include "CupsSimFixture.h"
#include "common/ModelCodes.h"
#include "driver/ModelProfiles.h"
#include "job/Document.h"
#include "pdf/TestPdf.h"
#include "viewer/braille/BrailleText.h"
#include "viewer/braille/BrfExport.h"

#include <gtest/gtest.h>
#include <liblouis/liblouis.h>

#include <sys/stat.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

namespace {

namespace fs = std::filesystem;
using brelmont::job::Document;
using brelmont::testing::shellQuote;
using brelmont::viewer::BrailleLine;
using Clock = std::chrono::steady_clock;

std::string readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// The job opened as the companion opens it; null (and a failure) when it does not open.
std::unique_ptr<Document> decode(const std::string& bytes, int64_t model) {
    auto doc = std::make_unique<Document>();
    std::ostringstream diagnostics;
    const auto data = brelmont::job::Bytes(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
    if (const auto refused = doc->readFromData(data, Document::TypeKprn, "job.kprn", diagnostics)) {
        ADD_FAILURE() << refused->message() << "\n" << diagnostics.str();
        return nullptr;
    }
    EXPECT_EQ(doc->m_printerType, model);
    return doc;
}

// The braille lines of each emboss page.
std::vector<std::vector<BrailleLine>> braillePages(const Document& doc) {
    std::vector<std::vector<BrailleLine>> pages;
    for (size_t i = 0; i < doc.m_embPages.size(); ++i)
        pages.push_back(brelmont::viewer::readBraillePage(*doc.m_embPages[i]).lines);
    return pages;
}

// liblouis's own translation of each line, as dot patterns (bit 0 = dot 1).
std::vector<BrailleLine> louis(const std::string& table, const std::vector<std::string>& lines) {
    std::vector<BrailleLine> translated;
    for (const std::string& line : lines) {
        std::vector<widechar> in(line.begin(), line.end()), out(4 * line.size() + 16);
        int inLength = int(in.size()), outLength = int(out.size());
        EXPECT_TRUE(
            lou_translateString(table.c_str(), in.data(), &inLength, out.data(), &outLength, nullptr, nullptr, ucBrl | dotsIO))
            << table;
        BrailleLine cells;
        for (int i = 0; i < outLength; ++i) cells.push_back(uint8_t(out[size_t(i)] & 0xFF));
        translated.push_back(cells);
    }
    return translated;
}

// The job file of the next connection that brought the embosser data, once the simulator has
// closed it (at most 10 s); it is removed, so the one after comes next. Empty when none came.
std::string takeJob(const brelmont::testing::EmbosserSim& embosser) {
    for (const auto deadline = Clock::now() + std::chrono::seconds(10); Clock::now() < deadline;) {
        std::error_code ec;
        for (const auto& entry : fs::directory_iterator(embosser.jobsPath(), ec)) {
            const std::string name = entry.path().filename().string();
            if (name.starts_with("job-") && embosser.logCount("the whole connection in " + name) == 1) {
                const std::string job = readFile(entry.path());
                fs::remove(entry.path());
                return job;
            }
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return {};
}

class DriverCups : public brelmont::testing::CupsSimFixture {
protected:
    static void SetUpTestSuite() {
        const fs::path ppds = BRELMONT_PPD_DIR;
        startSystem({{"merriden", {"Merriden", "Merriden", "", "Merriden"}, {}, ppds / "brelmont-merriden.ppd"},
                     {"fennick", {"Quorrin", "Quorrin", "", "Quorrin"}, {}, ppds / "brelmont-quorrin.ppd"}},
                    {}, BRELMONT_FILTER, ppds);
    }

    // How a job ended, and the scheduler's log lines of it ("[Job N] " marks them).
    struct Printed {
        bool completed = false;
        std::string tag, log;
    };

    // `document` printed by lp on `queue` with `options`; waits (at most 30 s) for the scheduler
    // to log the job's end. A job whose filter fails is stopped ("Job stopped due to filter
    // errors") and stays in the queue.
    static Printed print(const std::string& queue, const std::string& document, const std::string& options) {
        static int count = 0;
        const fs::path file = scratch->path() / ("document-" + std::to_string(++count));
        std::ofstream(file, std::ios::binary) << document;
        const auto lp = cups->run("lp -d " + queue + " " + options + " " + shellQuote(file.string()));
        const std::string said = "request id is " + queue + "-";
        const size_t at = lp.out.find(said);
        if (!lp.ok() || at == std::string::npos) {
            ADD_FAILURE() << "lp: " << lp.out << lp.err;
            return {};
        }
        const std::string tag = "[Job " + std::to_string(std::atoi(lp.out.c_str() + at + said.size())) + "] ";
        Printed printed{false, tag, ""};
        for (const auto deadline = Clock::now() + std::chrono::seconds(30); Clock::now() < deadline;) {
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
            printed.log.clear();
            std::istringstream log(cups->errorLog());
            for (std::string line; std::getline(log, line);)
                if (line.find(tag) != std::string::npos) printed.log += line + "\n";
            printed.completed = printed.log.find(tag + "Job completed.") != std::string::npos;
            for (const char* end : {"Job completed.", "Job stopped", "Job aborted", "Job canceled"})
                if (printed.log.find(tag + end) != std::string::npos) return printed;
        }
        ADD_FAILURE() << "the job did not end:\n" << printed.log;
        return printed;
    }

    // Whether the scheduler logs `text` as an error of the job, as it logs a filter's ERROR:
    // lines; waits a little (at most 5 s), since the line may come after the job's end.
    static bool loggedError(const Printed& job, const std::string& text) {
        for (const auto deadline = Clock::now() + std::chrono::seconds(5); Clock::now() < deadline;) {
            std::istringstream lines(cups->errorLog());
            for (std::string line; std::getline(lines, line);)
                if (line.starts_with("E [") && line.find(job.tag + text) != std::string::npos) return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        return false;
    }
};

// The scheduler's driver listing (lpinfo -m, which the desktop's printer settings read) offers every
// model, under the maker's name.
TEST_F(DriverCups, EveryModelsPpdIsListedForNewQueues) {
    const auto listing = cups->run("lpinfo -m");
    ASSERT_TRUE(listing.ok()) << listing.err;
    for (const brelmont::driver::ModelProfile& profile : brelmont::driver::modelProfiles())
        EXPECT_NE(listing.out.find(std::string(profile.fileName) + ".ppd Brelmont " + std::string(profile.makeAndModel) + "\n"),
                  std::string::npos)
            << profile.makeAndModel << "\n"
            << listing.out;
}

// Each spacing, an 8-dot table and the 20-positions-per-inch model: what the embosser received
// reads back line for line as liblouis translates the document.
TEST_F(DriverCups, TextReadsBackAsLiblouisTranslatesIt) {
    const std::vector<std::string> lines{"Hello world", "Braille 123", "dots & cells"};
    std::string text;
    for (const std::string& line : lines) text += line + "\n";
    // clang-format off
    struct Row { const char* queue; const char* spacing; const char* table; int64_t model; };
    // clang-format on
    for (const Row& row : {Row{"Merriden", "Congress", "en-ueb-g1.ctb", brelmont::model::Merriden},
                           Row{"Merriden", "National", "en-ueb-g1.ctb", brelmont::model::Merriden},
                           Row{"Merriden", "Microbraille", "en-ueb-g1.ctb", brelmont::model::Merriden},
                           Row{"Merriden", "Korean", "en-ueb-g1.ctb", brelmont::model::Merriden},
                           Row{"Merriden", "Jumbo", "en-ueb-g1.ctb", brelmont::model::Merriden},
                           Row{"Merriden", "Congress", "de-de-comp8.ctb", brelmont::model::Merriden},
                           Row{"Quorrin", "Congress", "en-ueb-g1.ctb", brelmont::model::Quorrin}}) {
        SCOPED_TRACE(std::string(row.queue) + " " + row.spacing + " " + row.table);
        const Printed printed = print(row.queue, text,
                                      std::string("-o BrailleSpacing=") + row.spacing + " -o BrailleTable=" + row.table +
                                          " -o BraillePageNumbers=Off");
        ASSERT_TRUE(printed.completed) << printed.log;
        const auto doc = decode(takeJob(*sims[row.model == brelmont::model::Quorrin ? 1 : 0]), row.model);
        ASSERT_TRUE(doc);
        const auto pages = braillePages(*doc);
        ASSERT_EQ(pages.size(), 1u);
        EXPECT_EQ(brelmont::viewer::patternText(pages[0]), brelmont::viewer::patternText(louis(row.table, lines)));
    }
}

// Lines shorter than the page, a blank and an indented line, a form feed between pages, CR LF
// line ends: the BRF the companion exports from the job is the file that was printed.
TEST_F(DriverCups, ABrailleFileComesBackByteForByte) {
    const std::string brf = "HELLO WORLD\r\n,BRAILLE #ABC\r\n\r\n  INDENTED\r\n\fPAGE TWO\r\n";
    const Printed printed = print("Merriden", brf, "-o document-format=application/vnd.cups-brf");
    ASSERT_TRUE(printed.completed) << printed.log;
    const auto doc = decode(takeJob(*sim), brelmont::model::Merriden);
    ASSERT_TRUE(doc);
    const brelmont::viewer::BrfExport exported = brelmont::viewer::exportBrf(doc->m_embPages);
    EXPECT_EQ(exported.text, brf);
    EXPECT_TRUE(exported.leftOut.empty());
}

// What lp asks of pages and sheets arrives: the pages of page-ranges, collated or uncollated copies,
// and interpoint sheets with a blank back where a copy ends on a front.
TEST_F(DriverCups, PageRangesCopiesAndInterpointThroughTheScheduler) {
    const std::string pages = "AAA\r\n\fBBB\r\n\fCCC\r\n";
    for (const auto& [options, expected] :
         {std::pair{"-n 2 -o page-ranges=2-3 -o collate=false", "BBB\r\n\fBBB\r\n\fCCC\r\n\fCCC\r\n"},
          std::pair{"-n 2 -o collate=true -o Duplex=DuplexNoTumble", "AAA\r\n\fBBB\r\n\fCCC\r\n\f\fAAA\r\n\fBBB\r\n\fCCC\r\n"}}) {
        SCOPED_TRACE(options);
        const Printed printed = print("Merriden", pages, std::string("-o document-format=application/vnd.cups-brf ") + options);
        ASSERT_TRUE(printed.completed) << printed.log;
        const auto doc = decode(takeJob(*sim), brelmont::model::Merriden);
        ASSERT_TRUE(doc);
        EXPECT_EQ(brelmont::viewer::exportBrf(doc->m_embPages).text, expected);
    }
}

// A PDF straight to the filter and a picture through the printing system's own conversion to PDF:
// the paragraph reads back as liblouis translates it, the shapes arrive as dots.
TEST_F(DriverCups, PdfAndPicturesBecomeBrailleAndDots) {
    const std::string paragraph = "Maps and worksheets come from ordinary programs as PDF, and the embosser gets braille.";
    brelmont::testing::TestPdf pdf;
    pdf.page()
        .text(72, 100, 12, paragraph.substr(0, 47))
        .text(72, 114, 12, paragraph.substr(48))
        .page()
        .fillCircle(300, 400, 100, {});
    Printed printed = print("Merriden", pdf.bytes(), "-o BraillePageNumbers=Off");
    ASSERT_TRUE(printed.completed) << printed.log;
    auto doc = decode(takeJob(*sim), brelmont::model::Merriden);
    ASSERT_TRUE(doc);
    ASSERT_EQ(doc->m_embPages.size(), 2u);
    BrailleLine read;
    const auto pages = braillePages(*doc);
    for (BrailleLine line : pages[0]) {
        line.erase(line.begin(), std::find_if(line.begin(), line.end(), [](uint8_t c) { return c != 0; }));
        if (line.empty()) continue;
        if (!read.empty()) read.push_back(0);
        read.insert(read.end(), line.begin(), line.end());
    }
    EXPECT_EQ(read, louis("en-ueb-g1.ctb", {paragraph})[0]);
    const brelmont::job::PageData& page = *doc->m_embPages[1];
    const auto raised = [&](int64_t x, int64_t y) { return page.row(y)[x] != 0; }; // 100 positions per inch
    EXPECT_TRUE(raised(300 * 100 / 72, 400 * 100 / 72));
    EXPECT_FALSE(raised(300 * 100 / 72 + 150, 400 * 100 / 72 + 150));

    // A black square in a white picture (PGM): the scheduler makes a PDF of it first.
    std::string picture = "P5 200 200 255\n" + std::string(200 * 200, '\xff');
    for (int y = 50; y < 150; ++y) picture.replace(size_t(15 + y * 200 + 50), 100, 100, '\0');
    printed = print("Merriden", picture, "-o document-format=image/x-portable-graymap");
    ASSERT_TRUE(printed.completed) << printed.log;
    EXPECT_NE(printed.log.find("imagetopdf"), std::string::npos) << printed.log;
    doc = decode(takeJob(*sim), brelmont::model::Merriden);
    ASSERT_TRUE(doc);
    ASSERT_EQ(doc->m_embPages.size(), 1u);
    int64_t dots = 0;
    for (int64_t y = 0; y < doc->m_embPages[0]->m_height; ++y)
        for (int64_t x = 0; x < doc->m_embPages[0]->m_width; ++x) dots += doc->m_embPages[0]->row(y)[x] != 0;
    EXPECT_GT(dots, 10000);
}

// The preview and a named output folder take the job instead of the embosser.
TEST_F(DriverCups, PreviewAndOutputPathKeepTheJobFromTheEmbosser) {
    const fs::path shared = cups->sharedFolder(), folder = cups->home() / "out";
    Printed printed = print("Merriden", "Hello world\n", "-t 'Preview job' -o karro-preview=true");
    ASSERT_TRUE(printed.completed) << printed.log;
    EXPECT_NE(printed.log.find("Sent to preview"), std::string::npos) << printed.log;
    EXPECT_TRUE(decode(readFile(shared / ".preview.kprn"), brelmont::model::Merriden)) << printed.log;
    std::vector<std::string> request;
    std::istringstream lock(readFile(shared / ".preview.lock"));
    for (std::string line; std::getline(lock, line);) request.push_back(line);
    ASSERT_EQ(request.size(), 5u);
    EXPECT_EQ(request[2], "Preview job");
    EXPECT_EQ(request[3], "Merriden");

    // The job's user owns the folder; the filter may run as another ("lp" under root).
    fs::create_directories(folder);
    ::chmod(folder.c_str(), 0777);
    printed = print("Merriden", "Hello world\n", "-t Report -o karro-outputpath=" + folder.string());
    ASSERT_TRUE(printed.completed) << printed.log;
    EXPECT_TRUE(decode(readFile(folder / "Report.kprn"), brelmont::model::Merriden)) << printed.log;
    EXPECT_EQ(sim->logCount("bytes of data"), 0);
}

// Documents the filter cannot emboss stop the job with an ERROR: line in the scheduler's log before
// anything leaves for the embosser. (The job's status in "lpstat -l" is mostly that line, but now
// and then the scheduler's "Filter failed": it may take the filter's end before its last words.)
TEST_F(DriverCups, BadDocumentsAreRefusedBeforeAnythingLeaves) {
    const fs::path mirror = cups->sharedFolder() / ".lpoptions/Merriden.lpoptions";
    // clang-format off
    struct Row { std::string document; const char* options; const char* mirror; const char* message; };
    // clang-format on
    for (const Row& row :
         {Row{std::string("PK\x03\x04\0\x01", 6), "-o document-format=text/plain", "",
              "line 1: the document is not text: it holds the control byte 3"},
          Row{"HELLO\r\nWORLD \xC8\r\n", "-o document-format=application/vnd.cups-brf", "",
              "line 2 holds the byte 200, which is not ASCII braille"},
          Row{"Hello\n", "-o BrailleTable=xx-none.ctb", "", "the braille table xx-none.ctb could not be loaded"},
          Row{"Hello\n", "", "BrailleTable=xx-none.ctb", "the braille table xx-none.ctb could not be loaded"},
          Row{" \n\t\n", "-o document-format=text/plain", "", "nothing to emboss: the document holds no text"}}) {
        SCOPED_TRACE(row.message);
        std::ofstream(mirror) << row.mirror;
        const Printed printed = print("Merriden", row.document, row.options);
        EXPECT_FALSE(printed.completed);
        EXPECT_TRUE(loggedError(printed, row.message)) << printed.log;
    }
    fs::remove(mirror);
    // An empty file never reaches a filter: lp itself refuses it.
    std::ofstream(scratch->path() / "empty");
    const auto empty = cups->run("lp -d Merriden " + shellQuote((scratch->path() / "empty").string()));
    EXPECT_FALSE(empty.ok()) << empty.out;
    EXPECT_NE(empty.err.find("No file in print request"), std::string::npos) << empty.err;
    EXPECT_EQ(sim->logCount("bytes of data"), 0);
}

} // namespace
