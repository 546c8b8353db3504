// The send-job step: the job's bytes go to the private work file "tempprn", which is sent; a job
// without pages or without bytes sends nothing, and a work file that cannot be written is
// reported and sends nothing (not the previous job).
#include "sendfile/SendJob.h"

#include "JobWriter.h"
#include "ScratchDir.h"
#include "StandInLpr.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

using namespace brelmont::sendfile;
using brelmont::job::Document;
using brelmont::testing::ByteVector;
using brelmont::testing::JobWriter;
using brelmont::testing::ScratchDir;
using brelmont::testing::StandInLpr;
namespace fs = std::filesystem;

namespace {

Document decoded(int pages, uint8_t fill = 1) {
    JobWriter job;
    job.pjl("@PJL JOB NAME=\"x\" MODEL=\"Merriden\"");
    for (int i = 0; i < pages; ++i) job.embossRaster(ByteVector(8, fill), 4, 2);
    Document document;
    std::ostringstream diagnostics;
    EXPECT_FALSE(document.readFromData(job.data(), Document::TypeKprn, "/jobs/a.kprn", diagnostics));
    return document;
}

std::string readAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

std::string bytesOf(const Document& document) { return std::string(document.m_prnData->begin(), document.m_prnData->end()); }

} // namespace

TEST(SendJob, WritesTheJobToThePrivateWorkFileAndSendsIt) {
    const ScratchDir scratch("sendjob");
    const StandInLpr lpr(scratch.path());
    const Document document = decoded(2);
    const fs::path file = tempJobPath();
    EXPECT_EQ(file, lpr.tmp() / ("brelmont-" + std::to_string(getuid())) / "tempprn");

    const SendJobResult result = sendJob(document, "Merriden");
    EXPECT_EQ(result.status, SendJobStatus::Sent) << result.detail;
    EXPECT_EQ(lpr.waitForArguments(), StandInLpr::lprArguments("Merriden", file.string()));
    EXPECT_EQ(readAll(file), bytesOf(document));
    struct stat st {};
    ASSERT_EQ(stat(file.parent_path().c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);

    // The next job replaces the file.
    lpr.forget();
    const Document other = decoded(1, 5);
    EXPECT_EQ(sendJob(other, "Merriden").status, SendJobStatus::Sent);
    lpr.waitForArguments();
    EXPECT_EQ(readAll(file), bytesOf(other));
}

TEST(SendJob, NothingIsWrittenOrSentWithoutPagesOrBytes) {
    const ScratchDir scratch("sendjob");
    const StandInLpr lpr(scratch.path());
    const SendJobResult noPages = sendJob(decoded(0), "Q");
    EXPECT_EQ(noPages.status, SendJobStatus::NoPages);
    EXPECT_EQ(noPages.detail, "error domain No such file, code 4");

    Document noBytes = decoded(1);
    noBytes.m_prnData.reset();
    EXPECT_EQ(sendJob(noBytes, "Q").status, SendJobStatus::NoJobData);

    EXPECT_FALSE(fs::exists(tempJobPath()));
    EXPECT_FALSE(lpr.ran());
}

TEST(SendJob, AWorkFileThatCannotBeWrittenIsReportedAndNothingIsSent) {
    const ScratchDir scratch("sendjob");
    const StandInLpr lpr(scratch.path());
    ASSERT_EQ(sendJob(decoded(1), "Q").status, SendJobStatus::Sent);
    lpr.waitForArguments();
    lpr.forget();
    const std::string previous = readAll(tempJobPath());

    // A folder where the new file would be written first.
    fs::path part = tempJobPath();
    part += ".part";
    fs::create_directory(part);
    const SendJobResult result = sendJob(decoded(3, 7), "Q");
    EXPECT_EQ(result.status, SendJobStatus::WriteFailed);
    EXPECT_NE(result.detail.find("tempprn"), std::string::npos) << result.detail;
    EXPECT_FALSE(lpr.ran());
    EXPECT_EQ(readAll(tempJobPath()), previous);
}

TEST(SendJob, AWorkFolderThatIsNotTheUsersOwnIsNotWrittenInto) {
    const ScratchDir scratch("sendjob");
    const StandInLpr lpr(scratch.path());
    // Someone planted a link where the private folder belongs.
    fs::create_directories(scratch.path() / "elsewhere");
    fs::create_directory_symlink(scratch.path() / "elsewhere", lpr.tmp() / ("brelmont-" + std::to_string(getuid())));
    const SendJobResult result = sendJob(decoded(1), "Q");
    EXPECT_EQ(result.status, SendJobStatus::WriteFailed);
    EXPECT_TRUE(fs::is_empty(scratch.path() / "elsewhere"));
    EXPECT_FALSE(lpr.ran());
}
