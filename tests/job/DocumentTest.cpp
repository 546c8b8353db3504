#include "job/Document.h"

#include "JobWriter.h"
#include "ScratchDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <unistd.h>

using brelmont::job::Document;
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
    struct Case { const char* what; ByteVector job; std::string type; int64_t code; int64_t model; size_t emboss, ink; };
    const ByteVector pages = threeEmbossPages();
    const Case cases[] = {
        {"three emboss pages", pages, Document::TypeKprn, 0, 131201, 3, 0},
        {"the other type name", pages, Document::TypeKdsx, 0, 131201, 3, 0},
        {"unknown type", pages, "public.data", -4, 0, 0, 0},
        {"no model", JobWriter().embossRaster(ByteVector(8, 1), 4, 2).data(), Document::TypeKprn, 259, 0, 0, 0},
        {"model but no raster", JobWriter().pjl("@PJL SET MODEL=\"Tessaline 30RT\"").data(), Document::TypeKprn, 0, 20802, 0, 0},
        {"decoding fails after the model", JobWriter().pjl("@PJL MODEL=\"Valdo\"").embossRaster(ByteVector(8, 1), 4, 2).text("junk").data(),
         Document::TypeKprn, 0, 121201, 1, 0},
        {"ink pages", JobWriter().inkBlock(ByteVector(16, 1), 4, 4, HeaderCheck::Sum4).data(), Document::TypeKprn, 0, 161705, 0, 1},
    };
    for (const Case& c : cases) {
        Document doc;
        std::ostringstream diagnostics;
        const auto error = doc.readFromData(c.job, c.type, "/jobs/a.kprn", diagnostics);
        EXPECT_EQ(error ? error->code : 0, c.code) << c.what;
        if (error) {
            EXPECT_EQ(error->domain, "NSOSStatusErrorDomain") << c.what;
            EXPECT_FALSE(doc.m_prnData) << c.what;
        } else {
            EXPECT_EQ(*doc.m_prnData, c.job) << c.what;
            EXPECT_EQ(doc.m_fileURL, "/jobs/a.kprn") << c.what;
        }
        EXPECT_EQ(doc.m_printerType, c.model) << c.what;
        EXPECT_EQ(doc.m_embPages.size(), c.emboss) << c.what;
        EXPECT_EQ(doc.m_inkPages.size(), c.ink) << c.what;
    }
}

TEST(Document, TypeNamesFollowTheFileExtension) {
    EXPECT_EQ(Document::typeNameForPath("a/job.kprn"), Document::TypeKprn);
    EXPECT_EQ(Document::typeNameForPath("job.kdsx"), Document::TypeKdsx);
    EXPECT_EQ(Document::typeNameForPath("job.pdf"), "");
    EXPECT_EQ(Document::typeNameForPath("kprn"), "");
}

TEST(Document, SavesTheJobBytesUnchanged) {
    const brelmont::testing::ScratchDir scratch("doc");
    const std::filesystem::path& dir = scratch.path();
    ByteVector job = threeEmbossPages();
    job.push_back(0); // trailing bytes of any value survive
    job.push_back(0x1A);

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

TEST(Document, PagesStopAtThePageMemoryLimit) {
    JobWriter job;
    job.pjl("@PJL MODEL=\"Valdo\"");
    for (int i = 0; i < 5; ++i) job.embossRaster(ByteVector(35, 1), 7, 5); // 40 bytes each
    Document doc;
    doc.m_pageMemoryLimit = 100;
    std::ostringstream diagnostics;
    ASSERT_FALSE(doc.readFromData(job.data(), Document::TypeKprn, "a.kprn", diagnostics));
    EXPECT_EQ(doc.m_embPages.size(), 2u);
    EXPECT_EQ(doc.m_pageMemory, 80);
}
