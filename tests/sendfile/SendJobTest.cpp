// The send-job step: the job's bytes go to a private work file of the send's own, which is sent;
// a job without pages or without bytes sends nothing, and a work folder that is not the user's
// own is never written into.
#include "sendfile/SendJob.h"

#include "JobWriter.h"
#include "ScratchDir.h"
#include "StandInLpr.h"

#include <gtest/gtest.h>

#include <sstream>
#include <unistd.h>

using namespace brelmont::sendfile;
using brelmont::job::Document;
using brelmont::testing::StandInLpr;
namespace fs = std::filesystem;

namespace {

Document decoded(int pages) {
    brelmont::testing::JobWriter job;
    job.pjl("@PJL JOB NAME=\"x\" MODEL=\"Merriden\"");
    for (int i = 0; i < pages; ++i) job.embossRaster(brelmont::testing::ByteVector(8, 1), 4, 2);
    Document document;
    std::ostringstream diagnostics;
    EXPECT_FALSE(document.readFromData(job.data(), Document::TypeKprn, "/jobs/a.kprn", diagnostics));
    return document;
}

} // namespace

// The work file is gone afterwards whether lpr took the job or not; a refusal comes back with
// lpr's reason.
TEST(SendJob, SendsTheJobThroughAWorkFileOfItsOwn) {
    const brelmont::testing::ScratchDir scratch("sendjob");
    for (const int status : {0, 1}) {
        const StandInLpr lpr(scratch.path() / std::to_string(status), status);
        const Document document = decoded(2);
        const SendJobResult result = sendJob(document, "Merriden");
        EXPECT_EQ(result.status, status == 0 ? SendJobStatus::Sent : SendJobStatus::SendFailed) << result.detail;
        EXPECT_EQ(result.detail, status == 0 ? "" : "lpr: Destination \"q\" is not accepting jobs.");
        const fs::path folder = lpr.tmp() / ("brelmont-" + std::to_string(getuid()));
        const auto arguments = lpr.arguments();
        ASSERT_TRUE(arguments && arguments->size() == 5u);
        EXPECT_EQ(*arguments, StandInLpr::lprArguments("Merriden", (folder / fs::path(arguments->back()).filename()).string()));
        EXPECT_EQ(lpr.sentFile(), std::string(document.m_prnData->begin(), document.m_prnData->end()));
        EXPECT_TRUE(fs::is_empty(folder));
        EXPECT_EQ(fs::status(folder).permissions() & fs::perms::all, fs::perms::owner_all);
    }
}

TEST(SendJob, NothingIsWrittenOrSent) {
    const brelmont::testing::ScratchDir scratch("sendjob");
    const StandInLpr lpr(scratch.path());
    const SendJobResult noPages = sendJob(decoded(0), "Q");
    EXPECT_EQ(noPages.status, SendJobStatus::NoPages);
    EXPECT_EQ(noPages.detail, "error domain No such file, code 4");
    Document noBytes = decoded(1);
    noBytes.m_prnData.reset();
    EXPECT_EQ(sendJob(noBytes, "Q").status, SendJobStatus::NoJobData);
    // Someone planted a link where the private folder belongs.
    fs::create_directories(scratch.path() / "elsewhere");
    fs::create_directory_symlink(scratch.path() / "elsewhere", lpr.tmp() / ("brelmont-" + std::to_string(getuid())));
    EXPECT_EQ(sendJob(decoded(1), "Q").status, SendJobStatus::WriteFailed);
    EXPECT_TRUE(fs::is_empty(scratch.path() / "elsewhere"));
    EXPECT_FALSE(lpr.ran());
}
