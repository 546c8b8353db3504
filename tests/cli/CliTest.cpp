// brelmont-cli info and dump, run as other tools run them. (Which files a whole dump holds is
// not pinned; its page buffers are, up to a write that fails. Which jobs the core refuses, and
// its words for them, are the document's tests; here one refusal shows its exit status.)
#include "job/Document.h"

#include "FileText.h"
#include "JobWriter.h"
#include "ProgramRun.h"
#include "ScratchDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace fs = std::filesystem;
using brelmont::testing::ByteVector;
using brelmont::testing::fileText;
using brelmont::testing::JobWriter;
namespace job = brelmont::job;

namespace {

void writeFile(const fs::path& path, const ByteVector& bytes) {
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

class Cli : public ::testing::Test {
protected:
    brelmont::testing::ProgramRun cli(const std::string& args) { return brelmont::testing::runProgram(BRELMONT_CLI, args); }
    brelmont::testing::ScratchDir scratch{"cli"};
    const fs::path& dir = scratch.path();
    const std::string sample = BRELMONT_SAMPLE_JOB;
};

} // namespace

TEST_F(Cli, InfoPrintsTheJobSummary) {
    JobWriter job;
    job.universalExit().pjl("@PJL SET MODEL=\"Valdo\"").embossRaster(ByteVector(35, 1), 7, 5);
    job.unit(100).embossRaster(ByteVector(18, 1), 9, 2);
    job.inkBlock(ByteVector(6, 1), 3, 2, brelmont::testing::HeaderCheck::Sum4).pjl("@PJL MODEL=\"Valdo\"");
    writeFile(dir / "job.kprn", job.data());
    const auto r = cli("info " + (dir / "job.kprn").string());
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(
        r.out,
        "{\"model\": 121201, \"emboss\": [{\"kind\":1,\"width\":7,\"height\":5,\"stride\":8}, "
        "{\"kind\":2,\"width\":9,\"height\":2,\"stride\":12}], \"ink\": [{\"kind\":3,\"width\":3,\"height\":2,\"stride\":4}]}\n");
}

TEST_F(Cli, RefusalsAndFailures) {
    writeFile(dir / "nomodel.kprn", JobWriter().embossRaster(ByteVector(4, 1), 2, 2).data());
    const std::string full = dir / "full";
    // clang-format off
    for (const auto& [args, status, errPart] : std::initializer_list<std::tuple<std::string, int, std::string>>{
             {"info /proc/self/mem", 1, "cannot read job: /proc/self/mem: Input/output error"},
             {"info " + sample + " >/dev/full", 1, "cannot write standard output"},
             {"info " + (dir / "nomodel.kprn").string(), 2, "job refused: The job names no embosser model. (error domain NSOSStatusErrorDomain, code 259)"},
             // A disk that fills up (a file size limit of some 40 KiB, which the fourth page passes).
             {"dump " + sample + " " + full, 1, "cannot write " + full + "/emboss-003.bin: File too large"}}) {
        // clang-format on
        const auto r =
            brelmont::testing::runProgram((args.ends_with(full) ? "ulimit -f 80; exec " : "") + std::string(BRELMONT_CLI), args);
        EXPECT_EQ(r.status, status) << args;
        EXPECT_NE(r.err.find(errPart), std::string::npos) << args << ": " << r.err;
        EXPECT_EQ(r.out, "") << args;
    }
    // The file whose write failed is removed, those before it kept, each page's buffer exactly.
    brelmont::job::Document doc;
    std::string readError;
    std::ostringstream diagnostics;
    ASSERT_FALSE(doc.readFromFile(sample, diagnostics, readError));
    ASSERT_GE(doc.m_embPages.size(), 3u);
    const job::PagePtr page = doc.m_embPages[2];
    EXPECT_EQ(fileText(full + "/emboss-002.bin"), std::string(page->m_bytes, page->m_bytes + page->m_size));
    EXPECT_FALSE(fs::exists(full + "/emboss-003.bin"));
}
