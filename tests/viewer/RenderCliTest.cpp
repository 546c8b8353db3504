// brelmont-cli render, run as a script would run it, on the built-in sample job.
#include "job/Document.h"
#include "viewer/rendering/PageRendering.h"

#include "JobWriter.h"

#include <gtest/gtest.h>

#include <QImage>

#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;
using brelmont::job::PagePtr;

namespace {

struct CliRun {
    int status = -1;
    std::string out, err;
};

CliRun runCli(const std::string& args, const fs::path& dir) {
    const fs::path errFile = dir / "stderr.txt";
    const std::string command = std::string(BRELMONT_CLI) + " " + args + " 2>" + errFile.string();
    CliRun r;
    FILE* pipe = popen(command.c_str(), "r");
    std::array<char, 4096> buffer;
    size_t n;
    while ((n = fread(buffer.data(), 1, buffer.size(), pipe)) > 0) r.out.append(buffer.data(), n);
    const int status = pclose(pipe);
    r.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    std::ifstream err(errFile);
    r.err.assign(std::istreambuf_iterator<char>(err), {});
    return r;
}

class RenderCli : public ::testing::Test {
protected:
    void SetUp() override {
        dir = fs::temp_directory_path() / ("brelmont-render-" + std::to_string(getpid()));
        fs::create_directories(dir);
    }
    void TearDown() override { fs::remove_all(dir); }
    fs::path dir;
};

} // namespace

TEST_F(RenderCli, WritesOnePicturePerPageOfTheSampleJob) {
    const fs::path out = dir / "out";
    const CliRun r = runCli(std::string("render ") + BRELMONT_SAMPLE_JOB + " " + out.string(), dir);
    ASSERT_EQ(r.status, 0) << r.err;

    brelmont::job::Document doc;
    std::string readError;
    std::ostringstream diagnostics;
    ASSERT_FALSE(doc.readFromFile(BRELMONT_SAMPLE_JOB, diagnostics, readError));
    ASSERT_GE(doc.m_embPages.size(), 3u);
    ASSERT_GE(doc.m_inkPages.size(), 1u);

    std::string expectedOut;
    size_t files = 0;
    const auto check = [&](const char* prefix, const std::vector<PagePtr>& pages) {
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
    };
    for (const Case& c : cases) {
        const CliRun r = runCli(c.args, dir);
        EXPECT_EQ(r.status, c.status) << c.args;
        EXPECT_NE(r.err.find(c.errPart), std::string::npos) << c.args << ": " << r.err;
        EXPECT_EQ(r.out, "") << c.args;
    }
    EXPECT_FALSE(fs::exists(dir / "d"));
}
