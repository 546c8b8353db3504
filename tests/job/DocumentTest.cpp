#include "job/Document.h"
#include "job/JobFile.h"

#include "JobWriter.h"
#include "ScratchDir.h"

#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <tuple>

using brelmont::job::Document;
using brelmont::job::PageSource;
using brelmont::testing::ByteVector;
using brelmont::testing::HeaderCheck;
using brelmont::testing::JobWriter;

namespace {

ByteVector threeEmbossPages() {
    JobWriter job;
    job.pjl("@PJL JOB NAME=\"x\" MODEL=\"Merriden\" COPIES=1");
    for (uint8_t v = 1; v <= 3; ++v) job.embossRaster(ByteVector(8, v), 4, 2);
    return job.data();
}

} // namespace

TEST(Document, OpensAcceptedTypesAndRefusesTheRest) {
    const ByteVector pages = threeEmbossPages();
    const ByteVector noModel = JobWriter().embossRaster(ByteVector(8, 1), 4, 2).data();
    const ByteVector modelOnly = JobWriter().pjl("@PJL SET MODEL=\"Tessaline 30RT\"").data();
    const ByteVector failsLater =
        JobWriter().pjl("@PJL MODEL=\"Valdo\"").embossRaster(ByteVector(8, 1), 4, 2).text("junk").data();
    // Job, type name, refusal code, model, emboss and ink pages.
    // clang-format off
    const std::tuple<ByteVector, std::string, int64_t, int64_t, size_t, size_t> cases[] = {
        {pages, Document::TypeKprn, 0, 131201, 3, 0}, {pages, Document::TypeKdsx, 0, 131201, 3, 0},
        {pages, "public.data", -4, 0, 0, 0}, {noModel, Document::TypeKprn, 259, 0, 0, 0},
        {modelOnly, Document::TypeKprn, 0, 20802, 0, 0}, {failsLater, Document::TypeKprn, 0, 121201, 1, 0},
    };
    // clang-format on
    int row = 0;
    for (const auto& [job, type, code, model, emboss, inkPages] : cases) {
        SCOPED_TRACE(::testing::Message() << "row " << row++);
        Document doc;
        std::ostringstream diagnostics;
        const auto error = doc.readFromData(job, type, "/jobs/a.kprn", diagnostics);
        EXPECT_EQ(error ? error->code : 0, code);
        if (error) { EXPECT_EQ(error->domain, "NSOSStatusErrorDomain"); }
        EXPECT_EQ(doc.m_prnData ? *doc.m_prnData : ByteVector{}, error ? ByteVector{} : job);
        EXPECT_EQ(doc.m_printerType, model);
        EXPECT_EQ(doc.m_embPages.size(), emboss);
        EXPECT_EQ(doc.m_inkPages.size(), inkPages);
    }
    EXPECT_EQ(Document::typeNameForPath("a/job.kprn"), Document::TypeKprn);
    EXPECT_EQ(Document::typeNameForPath("job.kdsx"), Document::TypeKdsx);
    EXPECT_EQ(Document::typeNameForPath("kprn"), "");
}

TEST(Document, SavesTheJobBytesUnchanged) {
    const brelmont::testing::ScratchDir scratch("doc");
    const std::filesystem::path& dir = scratch.path();
    ByteVector job = threeEmbossPages();
    job.insert(job.end(), {0, 0x1A}); // trailing bytes of any value survive
    Document doc;
    std::ostringstream diagnostics;
    ASSERT_FALSE(doc.readFromData(job, Document::TypeKprn, dir / "in.kprn", diagnostics));
    EXPECT_EQ(doc.writeJobTo(dir / "out.kprn"), "");
    std::ifstream in(dir / "out.kprn", std::ios::binary);
    EXPECT_EQ(ByteVector(std::istreambuf_iterator<char>(in), {}), job);
    EXPECT_FALSE(std::filesystem::exists(dir / "out.kprn.part"));
    EXPECT_NE(doc.writeJobTo(dir / "missing" / "out.kprn"), "");
    EXPECT_NE(Document().writeJobTo(dir / "empty.kprn"), "");
    EXPECT_FALSE(std::filesystem::exists(dir / "empty.kprn"));
}

// Opening neither aborts nor waits: what cannot be read is reported with the file's name.
TEST(Document, FilesThatCannotBeReadAreReportedByName) {
    const brelmont::testing::ScratchDir scratch("doc");
    const std::filesystem::path& dir = scratch.path();
    ASSERT_EQ(mkfifo((dir / "pipe.kprn").c_str(), 0600), 0);
    // clang-format off
    const std::tuple<std::filesystem::path, std::string, int64_t> cases[] = {
        {dir, "Is a directory", 0}, {dir / "absent.kprn", "No such file or directory", 0},
        {"/proc/self/mem", "Input/output error", 0}, // opens, but no byte can be read from its start
    };
    // clang-format on
    for (const auto& [path, error, refusal] : cases) {
        Document doc;
        std::ostringstream diagnostics;
        std::string readError;
        const auto refused = doc.readFromFile(path, diagnostics, readError);
        EXPECT_EQ(refused ? refused->code : 0, refusal) << path;
        EXPECT_EQ(readError, error.empty() ? "" : path.string() + ": " + error);
    }
    std::ofstream(dir / "big.kprn") << std::string(101, '@');
    std::vector<uint8_t> bytes;
    EXPECT_EQ(brelmont::job::readJobFile(dir / "big.kprn", bytes, 100),
              (dir / "big.kprn").string() + ": larger than the 100 bytes a job may have");

    // A pipe whose writer never comes is not waited on for ever.
    EXPECT_EQ(brelmont::job::readJobFile(dir / "pipe.kprn", bytes, 100, 200),
              (dir / "pipe.kprn").string() + ": nothing came through the pipe within 200 ms");

    // An endless device is refused at the limit, never holding much more than it on the way.
    const pid_t child = fork();
    if (child == 0) {
        constexpr int64_t limit = 130 << 20;
        rusage before{}, after{};
        getrusage(RUSAGE_SELF, &before);
        const std::string error = brelmont::job::readJobFile("/dev/zero", bytes, limit);
        getrusage(RUSAGE_SELF, &after);
        const bool bounded = (after.ru_maxrss - before.ru_maxrss) * 1024 < limit + (16 << 20);
        _exit(error == "/dev/zero: larger than the " + std::to_string(limit) + " bytes a job may have" && bounded ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
}

// Opening decodes no page; every page can be reached, each decoded once while it stays kept, and
// no more than the few kept pages are held, however long the job.
TEST(Document, AThousandPageJobOpensWithEveryPageReachable) {
    JobWriter job;
    job.pjl("@PJL SET MODEL=\"Valdo\"");
    for (int i = 0; i < 500; ++i) {
        job.embossRaster(ByteVector(48, uint8_t(1 + i % 7)), 8, 6);
        job.inkBlock(ByteVector(108, uint8_t(i % 2)), 12, 9, HeaderCheck::Sum4);
    }
    Document doc;
    std::ostringstream diagnostics;
    ASSERT_FALSE(doc.readFromData(job.data(), Document::TypeKprn, "long.kprn", diagnostics));
    ASSERT_EQ(doc.m_embPages.size() + doc.m_inkPages.size(), 1000u);
    EXPECT_EQ(doc.pagesDecoded(), 0);
    for (size_t i = 0; i < 500; ++i) {
        ASSERT_EQ(doc.m_embPages[i]->row(5)[7], 1 + i % 7) << i;
        ASSERT_EQ(doc.m_inkPages[i]->row(8)[11], i % 2) << i;
        ASSERT_LE(doc.pageBytesHeld(), int64_t(PageSource::CacheCapacity) * 12 * 9);
    }
    (void)doc.m_embPages[499], (void)doc.m_inkPages[498], (void)doc.m_embPages[498];
    EXPECT_EQ(doc.pagesDecoded(), 1000);
    EXPECT_EQ(doc.m_embPages.decodeUncached(499).page->row(0)[0], 1 + 499 % 7);
    EXPECT_EQ(doc.pagesDecoded(), 1001);
}
