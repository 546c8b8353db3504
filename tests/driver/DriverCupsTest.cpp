// The driver the whole way: lp hands a document to the private scheduler, which runs our filter
// with the product's PPD and sends the job to a simulated embosser; the job the embosser received
// is read back as the companion reads it. What the filter makes of each document is pinned by the
// driver's unit tests; here each way a document takes through the scheduler once.
#include "CupsSimFixture.h"
#include "FilterRun.h"
#include "common/ModelCodes.h"
#include "driver/ModelProfiles.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

using ::testing::HasSubstr;

namespace {

namespace fs = std::filesystem;
using namespace brelmont::testing;
using Clock = std::chrono::steady_clock;

class DriverCups : public CupsSimFixture {
protected:
    static void SetUpTestSuite() {
        const fs::path ppds = BRELMONT_PPD_DIR;
        startSystem({{"merriden", {"Merriden", "Merriden", "", "Merriden"}, {}, ppds / "brelmont-merriden.ppd"}}, {},
                    BRELMONT_FILTER, ppds);
    }

    // How a job ended, and the scheduler's log lines of it ("[Job N] " marks them).
    struct Printed {
        bool completed = false;
        std::string tag, log;
    };

    // `document` printed by lp on the queue with `options`; waits (at most 30 s) for the scheduler
    // to log the job's end. A job whose filter fails is stopped ("Job stopped due to filter
    // errors") and stays in the queue.
    static Printed print(const std::string& document, const std::string& options) {
        static int count = 0;
        const fs::path file = scratch->path() / ("document-" + std::to_string(++count));
        std::ofstream(file, std::ios::binary) << document;
        const auto lp = cups->run("lp -d Merriden " + options + " " + shellQuote(file.string()));
        const std::string said = "request id is Merriden-";
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

    // The job of the next connection that brought the embosser data, once the simulator has closed
    // it (at most 10 s), read back; its file is removed, so the one after comes next. Its model is
    // the queue's.
    static Read received() {
        for (const auto deadline = Clock::now() + std::chrono::seconds(10); Clock::now() < deadline;) {
            std::error_code ec;
            for (const auto& entry : fs::directory_iterator(sim->jobsPath(), ec))
                if (const std::string name = entry.path().filename().string();
                    name.starts_with("job-") && sim->logCount("the whole connection in " + name) == 1) {
                    Read job = readJob(fileText(entry.path()));
                    fs::remove(entry.path());
                    EXPECT_EQ(job.doc->m_printerType, brelmont::model::Merriden);
                    return job;
                }
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        ADD_FAILURE() << "no job reached the embosser";
        return {};
    }
};

// The scheduler's driver listing (lpinfo -m, which the desktop's printer settings read) offers every
// model, under the maker's name.
TEST_F(DriverCups, EveryModelsPpdIsListedForNewQueues) {
    const auto listing = cups->run("lpinfo -m");
    ASSERT_TRUE(listing.ok()) << listing.err;
    for (const brelmont::driver::ModelProfile& profile : brelmont::driver::modelProfiles())
        EXPECT_THAT(listing.out,
                    HasSubstr(std::string(profile.fileName) + ".ppd Brelmont " + std::string(profile.makeAndModel) + "\n"));
}

// Text with the spacing and the 8-dot table lp asks for reads back as liblouis translates it.
TEST_F(DriverCups, TextReadsBackAsLiblouisTranslatesIt) {
    const Printed printed =
        print("Hello world\nBraille 123\n", "-o BrailleSpacing=Jumbo -o BrailleTable=de-de-comp8.ctb -o BraillePageNumbers=Off");
    ASSERT_TRUE(printed.completed) << printed.log;
    const Page expected{louis("de-de-comp8.ctb", U"Hello world"), louis("de-de-comp8.ctb", U"Braille 123")};
    EXPECT_EQ(received().pages, std::vector<Page>{expected});
}

// A braille file arrives byte for byte with what lp asks of pages and sheets: the pages of
// page-ranges, collated or uncollated copies, and interpoint sheets with a blank back where a copy
// ends on a front.
TEST_F(DriverCups, PageRangesCopiesAndInterpointThroughTheScheduler) {
    const std::string pages = "AAA\r\n\fBBB\r\n\fCCC\r\n";
    for (const auto& [options, expected] :
         {std::pair{"-n 2 -o page-ranges=2-3 -o collate=false", "BBB\r\n\fBBB\r\n\fCCC\r\n\fCCC\r\n"},
          std::pair{"-n 2 -o collate=true -o Duplex=DuplexNoTumble", "AAA\r\n\fBBB\r\n\fCCC\r\n\f\fAAA\r\n\fBBB\r\n\fCCC\r\n"}}) {
        SCOPED_TRACE(options);
        const Printed printed = print(pages, std::string("-o document-format=application/vnd.cups-brf ") + options);
        ASSERT_TRUE(printed.completed) << printed.log;
        EXPECT_EQ(received().brf(), expected);
    }
}

// A picture goes through the printing system's own conversion to PDF, and the filter's PDF input
// makes dots of it: a black square in a white picture (PGM).
TEST_F(DriverCups, PicturesBecomeDots) {
    std::string picture = "P5 200 200 255\n" + std::string(200 * 200, '\xff');
    for (int y = 50; y < 150; ++y) picture.replace(size_t(15 + y * 200 + 50), 100, 100, '\0');
    const Printed printed = print(picture, "-o document-format=image/x-portable-graymap");
    ASSERT_TRUE(printed.completed) << printed.log;
    const Read job = received();
    ASSERT_EQ(job.doc->m_embPages.size(), 1u);
    const brelmont::job::PageData& page = *job.doc->m_embPages[0];
    int64_t dots = 0;
    for (int64_t y = 0; y < page.m_height; ++y) dots += page.m_width - std::count(page.row(y), page.row(y) + page.m_width, 0);
    EXPECT_GT(dots, 10000);
}

// The preview and a named output folder take the job instead of the embosser.
TEST_F(DriverCups, PreviewAndOutputPathKeepTheJobFromTheEmbosser) {
    const fs::path shared = cups->sharedFolder(), folder = cups->home() / "out";
    Printed printed = print("Hello world\n", "-t 'Preview job' -o karro-preview=true");
    ASSERT_TRUE(printed.completed) << printed.log;
    EXPECT_EQ(readJob(fileText(shared / ".preview.kprn")).pages.size(), 1u);
    // The title and the queue as the scheduler handed them over (the request's form is the unit test's).
    EXPECT_THAT(fileText(shared / ".preview.lock"), HasSubstr("\nPreview job\nMerriden\n"));

    // The job's user owns the folder; the filter may run as another ("lp" under root).
    fs::create_directories(folder);
    ::chmod(folder.c_str(), 0777);
    printed = print("Hello world\n", "-t Report -o karro-outputpath=" + folder.string());
    ASSERT_TRUE(printed.completed) << printed.log;
    EXPECT_EQ(readJob(fileText(folder / "Report.kprn")).pages.size(), 1u);
    EXPECT_EQ(sim->logCount("bytes of data"), 0);
}

// A document the filter cannot emboss stops the job with an ERROR: line in the scheduler's log
// before anything leaves for the embosser; here a table the queue's mirror file names. (The job's
// status in "lpstat -l" is mostly that line, but now and then the scheduler's "Filter failed": it
// may take the filter's end before its last words.)
TEST_F(DriverCups, ABadDocumentIsRefusedBeforeAnythingLeaves) {
    const fs::path mirror = cups->sharedFolder() / ".lpoptions/Merriden.lpoptions";
    std::ofstream(mirror) << "BrailleTable=xx-none.ctb";
    const Printed printed = print("Hello\n", "");
    fs::remove(mirror);
    EXPECT_FALSE(printed.completed);
    bool logged = false; // the line may come after the job's end
    for (const auto deadline = Clock::now() + std::chrono::seconds(5); !logged && Clock::now() < deadline;) {
        std::istringstream lines(cups->errorLog());
        for (std::string line; std::getline(lines, line);)
            logged |= line.starts_with("E [") &&
                      line.find(printed.tag + "the braille table xx-none.ctb could not be loaded") != std::string::npos;
        if (!logged) std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    EXPECT_TRUE(logged) << printed.log;
    EXPECT_EQ(sim->logCount("bytes of data"), 0);
}

} // namespace
