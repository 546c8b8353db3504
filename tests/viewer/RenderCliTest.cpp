// brelmont-cli render, run as a script would run it, on the built-in sample job.
#include "job/Document.h"
#include "viewer/rendering/PageRendering.h"

#include "FileText.h"
#include "ProgramRun.h"
#include "ScratchDir.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QImage>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <tuple>

namespace fs = std::filesystem;
using ::testing::HasSubstr;

namespace {

class RenderCli : public ::testing::Test {
protected:
    brelmont::testing::ProgramRun render(const std::string& args) {
        return brelmont::testing::runProgram(BRELMONT_CLI, "render " + args + " " + BRELMONT_SAMPLE_JOB + " " + out.string());
    }
    void SetUp() override {
        std::string readError;
        std::ostringstream diagnostics;
        ASSERT_FALSE(doc.readFromFile(BRELMONT_SAMPLE_JOB, diagnostics, readError));
    }
    brelmont::testing::ScratchDir scratch{"render"};
    const fs::path& dir = scratch.path();
    const fs::path out = dir / "out";
    brelmont::job::Document doc;
};

} // namespace

// One picture a page, as the viewer shows it (emboss kind 1 at 5 pixels a cell, the others one
// pixel a cell; a kind 4 page at its full pixel size, not the third the view shows); the BRF holds
// the three text pages and leaves the graphic out, saying so. (--text writes the braille reader's
// text of each emboss page the same way; it is not run here.)
TEST_F(RenderCli, WritesEachPageOfTheSampleJobAsTheViewerShowsIt) {
    const auto pictures = render(""), brf = render("--brf");
    ASSERT_EQ(pictures.status + brf.status, 0) << pictures.err << brf.err;
    std::string listed;
    for (const auto& [kind, pages] : {std::pair{"emboss", &doc.m_embPages}, {"ink", &doc.m_inkPages}})
        for (size_t i = 0; i < pages->size(); ++i) {
            const fs::path file = out / (std::string(kind) + "-00" + std::to_string(i) + ".png"); // fewer than ten of each
            listed += file.string() + "\n";
            const QImage written(QString::fromStdString(file.string()), "png");
            EXPECT_EQ(written.convertToFormat(QImage::Format_RGB32),
                      brelmont::viewer::pageImage(*(*pages)[i]).convertToFormat(QImage::Format_RGB32))
                << file;
        }
    EXPECT_EQ(pictures.out, listed);
    const fs::path file = out / (fs::path(BRELMONT_SAMPLE_JOB).stem().string() + ".brf");
    EXPECT_EQ(brf.out, file.string() + "\n");
    EXPECT_THAT(brf.err, HasSubstr("brelmont-cli: Emboss page 4 is a tactile graphic, not braille cells; it was left out.\n"));
    EXPECT_TRUE(fs::file_size(file) > 0);
    EXPECT_EQ(size_t(std::distance(fs::directory_iterator(out), fs::directory_iterator())), 5u + 1);
}

TEST_F(RenderCli, RefusalsAndFailures) {
    std::ofstream(dir / "file") << "x";
    const std::string sample = BRELMONT_SAMPLE_JOB;
    // clang-format off
    const std::tuple<std::string, int, std::string> cases[] = {
        {(dir / "absent.kprn").string() + " " + (dir / "d").string(), 1, "cannot read job"}, {sample, 2, "usage"},
        {sample + " " + (dir / "file" / "sub").string(), 1, "cannot create"},
        // A full disk: a file size limit of a few KiB, which the first picture passes.
        {sample + " " + (dir / "full").string(), 1,
        "cannot write " + (dir / "full" / "emboss-000.png").string() + ": File too large"},
    };
    // clang-format on
    for (const auto& [args, status, errPart] : cases) {
        const bool full = args.find("full") != std::string::npos;
        const auto r = brelmont::testing::runProgram(std::string(full ? "ulimit -f 10; trap '' XFSZ; exec " : "") + BRELMONT_CLI,
                                                     "render " + args);
        EXPECT_EQ(r.status, status) << args;
        EXPECT_THAT(r.err, HasSubstr(errPart));
        EXPECT_EQ(r.out, "") << args;
    }
    EXPECT_FALSE(fs::exists(dir / "full" / "emboss-000.png"));
}
