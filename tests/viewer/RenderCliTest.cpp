// brelmont-cli render, run as a script would run it, on the built-in sample job.
#include "job/Document.h"
#include "viewer/rendering/PageRendering.h"

#include "JobWriter.h"
#include "ProgramRun.h"
#include "ScratchDir.h"

#include <gtest/gtest.h>

#include <QImage>

#include <algorithm>
#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

brelmont::testing::ProgramRun runCli(const std::string& args, const fs::path& dir) {
    return brelmont::testing::runProgram(BRELMONT_CLI, args, dir);
}

class RenderCli : public ::testing::Test {
protected:
    brelmont::testing::ScratchDir scratch{"render"};
    const fs::path& dir = scratch.path();
};

} // namespace

TEST_F(RenderCli, WritesOnePicturePerPageOfTheSampleJob) {
    const fs::path out = dir / "out";
    const auto r = runCli(std::string("render ") + BRELMONT_SAMPLE_JOB + " " + out.string(), dir);
    ASSERT_EQ(r.status, 0) << r.err;

    brelmont::job::Document doc;
    std::string readError;
    std::ostringstream diagnostics;
    ASSERT_FALSE(doc.readFromFile(BRELMONT_SAMPLE_JOB, diagnostics, readError));
    ASSERT_GE(doc.m_embPages.size(), 3u);
    ASSERT_GE(doc.m_inkPages.size(), 1u);

    std::string expectedOut;
    size_t files = 0;
    const auto check = [&](const char* prefix, const brelmont::job::PageList& pages) {
        for (size_t i = 0; i < pages.size(); ++i) {
            char name[32];
            std::snprintf(name, sizeof name, "%s-%03zu.png", prefix, i);
            expectedOut += (out / name).string() + "\n";
            ++files;
            const QImage written(QString::fromStdString((out / name).string()), "png");
            ASSERT_FALSE(written.isNull()) << name;
            const QImage drawn = brelmont::viewer::pageImage(*pages[i]);
            // Pixel size: emboss kind 1 at 5 pixels a cell, the others one pixel a cell; a kind 4
            // page at its full pixel size, not the third the view shows.
            const int scale = pages[i]->m_kind == 1 ? 5 : 1;
            EXPECT_EQ(written.size(), QSize(int(pages[i]->m_width) * scale, int(pages[i]->m_height) * scale)) << name;
            EXPECT_EQ(written.convertToFormat(QImage::Format_RGB32), drawn.convertToFormat(QImage::Format_RGB32)) << name;
        }
    };
    check("emboss", doc.m_embPages);
    check("ink", doc.m_inkPages);
    EXPECT_EQ(r.out, expectedOut);
    EXPECT_EQ(size_t(std::distance(fs::directory_iterator(out), fs::directory_iterator())), files);
}

TEST_F(RenderCli, RefusalsAndFailures) {
    using brelmont::testing::ByteVector;
    using brelmont::testing::JobWriter;
    const ByteVector nomodel = JobWriter().embossRaster(ByteVector(4, 1), 2, 2).data();
    std::ofstream(dir / "nomodel.kprn", std::ios::binary)
        .write(reinterpret_cast<const char*>(nomodel.data()), std::streamsize(nomodel.size()));
    std::ofstream(dir / "file") << "x";
    struct Case { std::string args; int status; std::string errPart; };
    const Case cases[] = {
        {"render " + (dir / "nomodel.kprn").string() + " " + (dir / "d").string(), 2, "code 259"},
        {"render " + (dir / "absent.kprn").string() + " " + (dir / "d").string(), 1, "cannot read job"},
        {"render " + std::string(BRELMONT_SAMPLE_JOB), 2, "usage"},
        {"render " + std::string(BRELMONT_SAMPLE_JOB) + " " + (dir / "file" / "sub").string(), 1, "cannot create"},
        // A full disk: a file size limit of a few KiB, which the first picture passes.
        {"render " + std::string(BRELMONT_SAMPLE_JOB) + " " + (dir / "full").string(), 1,
         "cannot write " + (dir / "full" / "emboss-000.png").string() + ": File too large"},
    };
    for (const Case& c : cases) {
        const bool full = c.args.find("full") != std::string::npos;
        const auto r = brelmont::testing::runProgram(std::string(full ? "ulimit -f 10; trap '' XFSZ; exec " : "") + BRELMONT_CLI, c.args, dir);
        EXPECT_EQ(r.status, c.status) << c.args;
        EXPECT_NE(r.err.find(c.errPart), std::string::npos) << c.args << ": " << r.err;
        EXPECT_EQ(r.out, "") << c.args;
    }
    EXPECT_FALSE(fs::exists(dir / "d"));
    EXPECT_FALSE(fs::exists(dir / "full" / "emboss-000.png"));
}

TEST_F(RenderCli, WritesEmbossPagesAsBrailleText) {
    const fs::path out = dir / "text";
    const auto r = runCli(std::string("render --text ") + BRELMONT_SAMPLE_JOB + " " + out.string(), dir);
    ASSERT_EQ(r.status, 0) << r.err;
    brelmont::job::Document doc;
    std::string readError;
    std::ostringstream diagnostics;
    ASSERT_FALSE(doc.readFromFile(BRELMONT_SAMPLE_JOB, diagnostics, readError));
    std::string listed;
    for (size_t i = 0; i < doc.m_embPages.size(); ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "emboss-%03zu.txt", i);
        std::ifstream in(out / name, std::ios::binary);
        const std::string text(std::istreambuf_iterator<char>(in), {});
        const auto& page = *doc.m_embPages[i];
        // A line of (width + 1) / 2 three-byte patterns for every 4 rows, and dots on every page.
        EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), (page.m_height + 3) / 4) << name;
        EXPECT_EQ(text.size(), size_t((page.m_height + 3) / 4 * ((page.m_width + 1) / 2 * 3 + 1))) << name;
        EXPECT_NE(text.find_first_not_of(std::string("\xE2\xA0\x80\n")), std::string::npos) << name;
        listed += (out / name).string() + "\n";
    }
    EXPECT_EQ(r.out, listed);
    EXPECT_FALSE(fs::exists(out / "ink-000.txt"));
}
