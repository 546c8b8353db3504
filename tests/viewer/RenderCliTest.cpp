// brelmont-cli render, run as a script would run it, on the built-in sample job.
#include "job/Document.h"
#include "viewer/braille/BrailleText.h"
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

// The sample job has fewer than ten pages of each kind.
fs::path pageFile(const fs::path& dir, const std::string& kind, size_t i, const char* extension) {
    return dir / (kind + "-00" + std::to_string(i) + "." + extension);
}

} // namespace

// One file a page, as the viewer shows it: a picture (emboss kind 1 at 5 pixels a cell, the others
// one pixel a cell; a kind 4 page at its full pixel size, not the third the view shows), or with
// --text the braille text of each emboss page; the BRF holds the three text pages and leaves the
// graphic out, saying so.
TEST_F(RenderCli, WritesEachPageOfTheSampleJobAsTheViewerShowsIt) {
    const auto pictures = render(""), texts = render("--text"), brf = render("--brf");
    ASSERT_EQ(pictures.status + texts.status + brf.status, 0) << pictures.err << texts.err << brf.err;
    std::string listed, listedTexts;
    for (const auto& [kind, pages] : {std::pair{"emboss", &doc.m_embPages}, {"ink", &doc.m_inkPages}})
        for (size_t i = 0; i < pages->size(); ++i) {
            const fs::path file = pageFile(out, kind, i, "png");
            listed += file.string() + "\n";
            const QImage written(QString::fromStdString(file.string()), "png");
            const auto page = (*pages)[i];
            EXPECT_EQ(written.convertToFormat(QImage::Format_RGB32),
                      brelmont::viewer::pageImage(*page).convertToFormat(QImage::Format_RGB32))
                << file;
            if (!brelmont::job::PageData::isEmbossKind(page->m_kind)) continue;
            const fs::path text = pageFile(out, kind, i, "txt");
            EXPECT_TRUE(brelmont::testing::fileText(text) == brelmont::viewer::brailleText(*page)) << text;
            listedTexts += text.string() + "\n";
        }
    EXPECT_EQ(pictures.out, listed);
    EXPECT_EQ(texts.out, listedTexts);
    EXPECT_FALSE(fs::exists(out / "ink-000.txt"));
    const fs::path file = out / (fs::path(BRELMONT_SAMPLE_JOB).stem().string() + ".brf");
    EXPECT_EQ(brf.out, file.string() + "\n");
    EXPECT_THAT(brf.err, HasSubstr("brelmont-cli: Emboss page 4 is a tactile graphic, not braille cells; it was left out.\n"));
    EXPECT_TRUE(fs::file_size(file) > 0);
    EXPECT_EQ(size_t(std::distance(fs::directory_iterator(out), fs::directory_iterator())), 5u + doc.m_embPages.size() + 1);
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
    EXPECT_FALSE(fs::exists(dir / "d"));
    EXPECT_FALSE(fs::exists(dir / "full" / "emboss-000.png"));
}
