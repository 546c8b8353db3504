// Sending a file or the open job raw to a queue, against a stand-in lpr that records what it was
// given: file URLs become local paths, which queue each window offers first, the send operation's
// command line and outcomes, the send-job step's private work file, and brelmont-cli send's paths
// and exit statuses. (Quoting itself is the shell quoting helper's, tested there.)
#include "sendfile/LocalPath.h"
#include "sendfile/QueueList.h"
#include "sendfile/SendJob.h"
#include "sendfile/SendOperation.h"

#include "CupsServer.h"
#include "JobWriter.h"
#include "ProgramRun.h"
#include "ScopedEnv.h"
#include "ScratchDir.h"
#include "StandInLpr.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

using namespace brelmont::sendfile;
using brelmont::job::Document;
using brelmont::testing::ScratchDir;
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

brelmont::testing::ProgramRun sendCli(const fs::path& folder, const std::string& file, const std::string& queue) {
    using brelmont::testing::shellQuote;
    return brelmont::testing::runProgram("cd " + shellQuote(folder.string()) + " && " + BRELMONT_CLI,
                                         "send " + shellQuote(file) + " " + shellQuote(queue));
}

} // namespace

TEST(LocalPath, FileUrlsBecomeDecodedPathsAndPathsStayAsTheyAre) {
    // clang-format off
    for (const auto& [given, expected] : std::initializer_list<std::pair<std::string, std::string>>{
             {"file:///Users/me/job.prn", "/Users/me/job.prn"}, {"file:///tmp/100%25%23%C3%A9%2Fx", "/tmp/100%#é/x"},
             {"file:///tmp/%e2%82%ac", "/tmp/€"}, {"file://localhost/tmp/a%20b", "/tmp/a b"}, {"", ""},
             {"file:///tmp/%zz%2", "/tmp/%zz%2"},        // incomplete escapes stay
             {"file:///tmp/a%00b", "/tmp/a%00b"},        // no path holds a zero byte
             {"/tmp/plain%20name", "/tmp/plain%20name"}}) // a path is not decoded
        EXPECT_EQ(localPath(given), expected) << given;
    // clang-format on
}

// The send-file window (job model 0 here) prefers the last queue of any known model, else the
// first; the send-job sheet the last queue of the job's model, else none.
TEST(QueueList, EntriesAndFirstSelection) {
    using Names = std::vector<std::string>;
    // clang-format off
    struct Case { const char* what; Names names; std::vector<int64_t> models; int64_t job; Names entries; int selected; };
    const Case cases[] = {
        {"no queues", {}, {}, 0, {}, -1},
        {"unknown model: the first", {"A", "B"}, {0, -3}, 0, {"A", "B"}, 0},
        {"known models: the later", {"A", "B", "C"}, {221201, 131201, 0}, 0, {"A", "B", "C"}, 1},
        {"model code 1 counts", {"A", "B"}, {0, 1}, 0, {"A", "B"}, 1},
        {"job: the later match", {"A", "B", "C"}, {221201, 131201, 221201}, 221201, {"A", "B", "C"}, 2},
        {"job: no match", {"A", "B"}, {131201, 121201}, 80803, {"A", "B"}, -1},
    };
    // clang-format on
    for (const Case& c : cases) {
        std::vector<PrinterItem> items;
        for (size_t i = 0; i < c.names.size(); ++i)
            items.push_back({"", "q" + std::to_string(i), c.names[i], c.models[i], false, "mm" + std::to_string(i)});
        const QueueListing listing = c.job ? sendJobListing(items, c.job) : sendFileListing(items);
        EXPECT_EQ(listing.m_entries, c.entries) << c.what;
        EXPECT_EQ(listing.m_selected, c.selected) << c.what;
        EXPECT_EQ(queueAt(items, c.selected), c.selected < 0 ? std::nullopt : std::optional("q" + std::to_string(c.selected)));
        EXPECT_EQ(queueAt(items, int(items.size())), std::nullopt);
    }
}

// lpr gets the queue and the local path; a refusal comes back as one with lpr's own reason, and
// an lpr that cannot be started is told apart.
TEST(SendCommand, LprGetsTheQueueAndTheLocalPathAndItsOutcomeIsTold) {
    EXPECT_EQ(sendCommand("file:///Users/me/my%20job.prn", "Orvin_200"), "lpr -h -l -P Orvin_200 \"/Users/me/my job.prn\"");
    const ScratchDir scratch("send");
    for (const auto& [queue, path, expected, status] : {std::tuple{"-x", "-rf", "./-rf", 0}, // never taken for an option
                                                        {"a b", "file:///jobs/a%20b%25", "/jobs/a b%", 0},
                                                        {"Q", "/jobs/a", "/jobs/a", 3}}) {
        const StandInLpr lpr(scratch.path() / queue, status);
        const SendOutcome outcome = send(path, queue, std::chrono::seconds(20));
        EXPECT_EQ(outcome.status, status ? SendOutcome::Status::Refused : SendOutcome::Status::Queued) << outcome.detail;
        EXPECT_EQ(outcome.detail, status ? "lpr: Destination \"q\" is not accepting jobs." : "");
        EXPECT_EQ(lpr.arguments(), StandInLpr::lprArguments(queue, expected)) << path;
    }
    const brelmont::testing::ScopedEnv noLpr("PATH", scratch.path().string());
    const SendOutcome missing = send("/jobs/a", "Q", std::chrono::seconds(20));
    EXPECT_EQ(missing.status, SendOutcome::Status::NotStarted);
    EXPECT_TRUE(missing.detail.starts_with("lpr could not be started: ")) << missing.detail;
}

// The job's bytes go to a private work file of the send's own, which is sent; it is gone afterwards
// whether lpr took the job or not, and a refusal comes back with lpr's reason.
TEST(SendJob, SendsTheJobThroughAWorkFileOfItsOwnOrNothing) {
    const ScratchDir scratch("sendjob");
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

    // A job without pages or without bytes sends nothing, and a work folder that is not the
    // user's own is never written into.
    const StandInLpr lpr(scratch.path() / "none");
    const SendJobResult noPages = sendJob(decoded(0), "Q");
    EXPECT_EQ(noPages.status, SendJobStatus::NoPages);
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

// brelmont-cli send hands lpr the file's absolute local path: a relative one, or one that looks
// like an option, from the working folder; a file URL decoded.
TEST(SendCli, LprGetsTheFilesAbsoluteLocalPathOrSaysWhyNot) {
    const ScratchDir scratch("sendcli");
    const StandInLpr lpr(scratch.path());
    const fs::path folder = scratch.path() / "jobs dir";
    fs::create_directories(folder);
    std::ofstream(folder / "a b#%.prn") << "x";
    std::ofstream(folder / "-rf") << "x";
    for (const auto& [given, file] : {std::pair<std::string, const char*>{"a b#%.prn", "a b#%.prn"},
                                      {"-rf", "-rf"},
                                      {"file://" + folder.string() + "/a%20b%23%25.prn", "a b#%.prn"}}) {
        const auto run = sendCli(folder, given, "Orvin_200");
        EXPECT_EQ(run.status, 0) << given << ": " << run.err;
        EXPECT_EQ(lpr.arguments(), StandInLpr::lprArguments("Orvin_200", (folder / file).string())) << given;
    }

    // Refused input and failures have their exit status, and lpr does not run.
    const std::string file = (scratch.path() / "job.prn").string(), missing = (scratch.path() / "missing.prn").string();
    std::ofstream(file) << "x";
    // File, queue, whether lpr is on PATH, exit status, the end of what is said.
    const std::tuple<std::string, std::string, bool, int, std::string> cases[] = {
        {missing, "Q", true, 2, "brelmont-cli: send: " + missing + ": No such file or directory\n"},
        {scratch.path().string(), "Q", true, 2, "brelmont-cli: send: " + scratch.path().string() + ": is a folder\n"},
        {file, "", true, 2, "usage: brelmont-cli send FILE QUEUE\n"},
        {file, "Q", false, 1, "lpr\n"},
    };
    for (const auto& [given, queue, lprOnPath, status, said] : cases) {
        const ScratchDir own("sendcli");
        const StandInLpr fresh(own.path());
        if (!lprOnPath) setenv("PATH", (own.path() / "tmp").c_str(), 1); // a folder without lpr
        const auto run = sendCli(scratch.path(), given, queue);
        EXPECT_EQ(run.status, status) << given;
        EXPECT_TRUE(run.err.ends_with(said)) << given << ": " << run.err;
        EXPECT_FALSE(fresh.ran()) << given;
    }
}
