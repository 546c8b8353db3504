// brelmont-cli info and dump, run as other tools run them.
#include "job/Document.h"

#include "JobWriter.h"
#include "ProgramRun.h"
#include "ScratchDir.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;
using brelmont::testing::ByteVector;
using brelmont::testing::JobWriter;

namespace {

brelmont::testing::ProgramRun runCli(const std::string& args, const fs::path& dir) {
    return brelmont::testing::runProgram(BRELMONT_CLI, args, dir);
}

ByteVector readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return ByteVector(std::istreambuf_iterator<char>(in), {});
}

void writeFile(const fs::path& path, const ByteVector& bytes) {
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

class Cli : public ::testing::Test {
protected:
    brelmont::testing::ScratchDir scratch{"cli"};
    const fs::path& dir = scratch.path();
};

} // namespace

TEST_F(Cli, InfoPrintsTheJobSummary) {
    JobWriter job;
    job.universalExit().pjl("@PJL SET MODEL=\"Valdo\"").embossRaster(ByteVector(35, 1), 7, 5);
    job.unit(100).embossRaster(ByteVector(18, 1), 9, 2);
    job.inkBlock(ByteVector(6, 1), 3, 2, brelmont::testing::HeaderCheck::Sum4).pjl("@PJL MODEL=\"Valdo\"");
    writeFile(dir / "job.kprn", job.data());
    const auto r = runCli("info " + (dir / "job.kprn").string(), dir);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out,
              "{\"model\": 121201, \"emboss\": [{\"kind\":1,\"width\":7,\"height\":5,\"stride\":8}, "
              "{\"kind\":2,\"width\":9,\"height\":2,\"stride\":12}], \"ink\": [{\"kind\":3,\"width\":3,\"height\":2,\"stride\":4}]}\n");
    EXPECT_EQ(r.err, "Notice (0): UEL command ok\n");
}

TEST_F(Cli, DumpWritesEveryPageBufferExactly) {
    const auto r = runCli(std::string("dump ") + BRELMONT_SAMPLE_JOB + " " + (dir / "out").string(), dir);
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err.find("Error"), std::string::npos) << r.err;

    brelmont::job::Document doc;
    std::string readError;
    std::ostringstream diagnostics;
    ASSERT_FALSE(doc.readFromFile(BRELMONT_SAMPLE_JOB, diagnostics, readError));
    ASSERT_GE(doc.m_embPages.size(), 3u);
    ASSERT_GE(doc.m_inkPages.size(), 1u);
    const auto info = runCli(std::string("info ") + BRELMONT_SAMPLE_JOB, dir);
    const ByteVector infoJson = readFile(dir / "out" / "info.json");
    EXPECT_EQ(std::string(infoJson.begin(), infoJson.end()), info.out);

    const auto check = [&](const char* prefix, const brelmont::job::PageList& pages) {
        for (size_t i = 0; i < pages.size(); ++i) {
            char name[32];
            std::snprintf(name, sizeof name, "%s-%03zu.bin", prefix, i);
            EXPECT_EQ(readFile(dir / "out" / name), ByteVector(pages[i]->m_bytes, pages[i]->m_bytes + pages[i]->m_size)) << name;
        }
        char next[32];
        std::snprintf(next, sizeof next, "%s-%03zu.bin", prefix, pages.size());
        EXPECT_FALSE(fs::exists(dir / "out" / next));
    };
    check("emboss", doc.m_embPages);
    check("ink", doc.m_inkPages);
}

TEST_F(Cli, RefusalsAndFailures) {
    writeFile(dir / "nomodel.kprn", JobWriter().embossRaster(ByteVector(4, 1), 2, 2).data());
    writeFile(dir / "job.pdf", JobWriter().pjl("@PJL MODEL=\"Valdo\"").data());
    const std::string sample = BRELMONT_SAMPLE_JOB;
    struct Case { std::string args; int status; std::string errPart; };
    const Case cases[] = {
        {"info " + dir.string(), 1, dir.string() + ": Is a directory"},
        {"info /proc/self/mem", 1, "cannot read job: /proc/self/mem: Input/output error"},
        {"info " + sample + " >/dev/full", 1, "cannot write standard output"},
        {"info " + (dir / "nomodel.kprn").string(), 2, "NSOSStatusErrorDomain, code 259"},
        {"info " + (dir / "job.pdf").string(), 2, "NSOSStatusErrorDomain, code -4"},
        {"dump " + (dir / "nomodel.kprn").string() + " " + (dir / "d").string(), 2, "code 259"},
        {"info " + (dir / "absent.kprn").string(), 1, "cannot read job"},
        {"info", 2, "usage"},
        {"frobnicate", 2, "unknown command"},
    };
    for (const Case& c : cases) {
        const auto r = runCli(c.args, dir);
        EXPECT_EQ(r.status, c.status) << c.args;
        EXPECT_NE(r.err.find(c.errPart), std::string::npos) << c.args << ": " << r.err;
        EXPECT_EQ(r.out, "") << c.args;
    }
    EXPECT_FALSE(fs::exists(dir / "d"));
}

// A disk that fills up (here: a file size limit of some 40 KiB, which the fourth page passes) stops
// the dump with a message, and the file whose write failed is removed.
TEST_F(Cli, DumpStopsAtAFullDiskAndLeavesNoPartialFile) {
    const auto r = brelmont::testing::runProgram("ulimit -f 80; trap '' XFSZ; exec " + std::string(BRELMONT_CLI),
                                                 std::string("dump ") + BRELMONT_SAMPLE_JOB + " " + (dir / "out").string(), dir);
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("cannot write " + (dir / "out" / "emboss-003.bin").string() + ": File too large"), std::string::npos) << r.err;
    EXPECT_TRUE(fs::exists(dir / "out" / "emboss-002.bin"));
    EXPECT_FALSE(fs::exists(dir / "out" / "emboss-003.bin"));
}
