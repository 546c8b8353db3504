// The application shell offscreen: launch in a temporary shared folder, the preview hand-off,
// documents opened, refused and saved, and alerts from worker threads.
#include "GuiTestSupport.h"

#include "app/AppDelegate.h"
#include "app/DocumentController.h"
#include "app/PreviewHandoff.h"
#include "app/StartWindow.h"
#include "job/JobFile.h"
#include "viewer/window/WindowController.h"
#include "widgets/MessageBox.h"

#include <QApplication>
#include <QTest>

#include <set>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

using brelmont::app::AppDelegate;
using brelmont::app::DocumentController;
using brelmont::app::PreviewHandoff;
using brelmont::app::SharedFolder;
using Tick = brelmont::app::PreviewHandoff::Tick;
namespace fs = std::filesystem;

namespace {

QString path(const fs::path& p) { return QString::fromStdString(p.string()); }

fs::perms bits(const fs::path& file) { return fs::status(file).permissions() & fs::perms::mask; }

std::string request(const std::string& jobLine) { return "printer\nuser\n" + jobLine + "\ncopies=1\nqueue\n"; }

struct Handoff {
    Handoff()
        : folder(dir.path() / "shared"),
          handoff(
              folder, [this](const std::string& text) { warnings.push_back(text); },
              [this](const fs::path& job) { opened.push_back(job); }) {
        folder.createFolders();
        folder.truncateLockFile();
        chmod(folder.lockFile().c_str(), 0666);
        guitest::writeFile(folder.previewJob(), "preview job bytes");
    }
    std::set<std::string> tree() const {
        std::set<std::string> entries;
        for (const auto& entry : fs::recursive_directory_iterator(dir.path()))
            entries.insert(fs::relative(entry.path(), dir.path()).string());
        return entries;
    }
    guitest::TempDir dir;
    SharedFolder folder;
    std::vector<std::string> warnings;
    std::vector<fs::path> opened;
    PreviewHandoff handoff;
};

} // namespace

TEST(Launch, PreparesTheSharedFolderDiscardsAnOldRequestAndOpensTheStartWindow) {
    guitest::TempDir dir;
    const SharedFolder folder(dir.path() / "Brelmont");
    fs::create_directories(folder.root());
    guitest::writeFile(folder.root() / "Patterns", "a file where a folder would go");
    guitest::writeFile(folder.lockFile(), request("scan.pdf"));
    guitest::Alerts alerts;
    AppDelegate app(folder);
    const mode_t mask = umask(022);
    app.applicationDidFinishLaunching();
    umask(mask);
    for (const char* sub : {"DPFonts", ".lpoptions"}) EXPECT_TRUE(fs::is_directory(folder.root() / sub)) << sub;
    EXPECT_TRUE(fs::is_regular_file(folder.root() / "Patterns"));
    EXPECT_EQ(fs::file_size(folder.lockFile()), 0u);
    EXPECT_EQ(bits(folder.lockFile()), fs::perms(0666)); // for the driver, whatever the umask
    EXPECT_EQ(bits(folder.previewJob()), fs::perms(0666));
    ASSERT_TRUE(app.window());
    EXPECT_TRUE(app.window()->isVisible());

    // A preview request (what the driver's filter leaves, pinned by its own tests) reaches the
    // running program: the timer opens the job under the request's title.
    guitest::writeFile(folder.previewJob(), brelmont::testing::fileText(BRELMONT_SAMPLE_JOB));
    guitest::writeFile(folder.lockFile(), request("The lantern keeper.txt"));
    QTRY_COMPARE_WITH_TIMEOUT(app.documents().windows().size(), 1, 5000);
    EXPECT_EQ(app.documents().windows().first()->windowTitle(), "The lantern keeper.kprn");
    EXPECT_FALSE(app.documents().windows().first()->document()->m_embPages.empty());
}

// Each request is consumed; a plain name opens the job copied under it inside the folder, and
// nothing else changes: no name runs a command or writes outside the folder. Files another user
// planted in the shared folder, as large as they like (sparse), are refused by their size with a
// message; the request is read up to its limit, the job never read whole.
TEST(PreviewHandoff, RequestsOpenTheirCopyOnlyUnderAPlainNameInsideTheFolderAndWithinTheirSize) {
    const auto padded = [](size_t size) {
        std::string text = request("scan.pdf");
        return text + std::string(size - text.size(), '\n');
    };
    struct Row {
        std::string request, copy;     // the copy opened; none: consumed without opening
        int64_t jobSize = 0;           // 0: the job as it is
        const char* warning = nullptr; // part of the one message, if any
    };
    std::vector<Row> rows = {
        {request("report.final.pdf"), "report.final.kprn"},
        {request("scan"), "scan.kprn"},
        {"\nprinter\n\n\nuser\n\nscan.pdf\n\n\ncopies=1\nqueue\n\n", "scan.kprn"},
        {"printer\n\nuser\nscan.pdf\n\n\ncopies=1\n", ""},
        {request("..report.pdf"), "..report.kprn"},
        {request("scan\xff\xfe.pdf"), ""},
        {padded(brelmont::app::MaxRequestBytes), "scan.kprn"},
        {padded(brelmont::app::MaxRequestBytes + 1), "", 0, "was not read: larger than 65536 bytes"},
        {request("scan.pdf"), "", brelmont::job::MaxJobBytes + 1, "larger than 1073741824 bytes"},
        {request("scan.pdf"), "", int64_t(8) << 30, "larger than 1073741824 bytes"},
    };
    for (const char* dotted : {".", ".hidden", "..pdf", "...", "..", "...kprn"}) rows.push_back({request(dotted), ""});
    for (const std::string name : {"$(touch PWNED)", "`touch PWNED`", "\"; touch PWNED; \"", "'; touch PWNED; '", "-rf"})
        rows.push_back({request(name + ".pdf"), name + ".kprn"});
    for (const char* climbing : {"../escape", "sub/../../escape", "/tmp/escape", "$(touch ../PWNED)"})
        rows.push_back({request(std::string(climbing) + ".pdf"), ""});
    for (const auto& [request, copy, jobSize, warning] : rows) {
        SCOPED_TRACE(request.substr(0, 100));
        Handoff h;
        if (jobSize) { ASSERT_EQ(truncate(h.folder.previewJob().c_str(), jobSize), 0); }
        const fs::path previous = fs::current_path();
        fs::current_path(h.folder.root()); // a command run by mistake would write here or above
        auto before = h.tree();
        guitest::writeFile(h.folder.lockFile(), request);
        const Tick tick = h.handoff.tick();
        fs::current_path(previous);
        EXPECT_EQ(tick, copy.empty() ? Tick::Consumed : Tick::Opened);
        EXPECT_EQ(h.warnings.size(), warning ? 1u : 0u);
        if (warning) { EXPECT_NE(h.warnings.at(0).find(warning), std::string::npos) << h.warnings.at(0); }
        if (!copy.empty()) {
            before.insert("shared/" + copy);
            EXPECT_EQ(brelmont::testing::fileText(h.folder.root() / copy), "preview job bytes");
            EXPECT_EQ(h.opened, std::vector<fs::path>{h.folder.root() / copy});
        } else {
            EXPECT_TRUE(h.opened.empty());
        }
        EXPECT_EQ(h.tree(), before);
        EXPECT_EQ(brelmont::testing::fileText(h.folder.lockFile()), "");
        EXPECT_FALSE(fs::exists(fs::temp_directory_path() / "escape.kprn"));
    }
}

// Links planted where the hand-off keeps its files are refused with one message and left alone;
// the file behind each is neither changed nor opened.
TEST(PreviewHandoff, PlantedLinksAreRefusedAndLeftAlone) {
    for (const auto& [name, toFolder, tick] :
         {std::tuple{".preview.lock", false, Tick::Refused}, std::tuple{".preview.kprn", false, Tick::Consumed},
          std::tuple{"scan.kprn", false, Tick::Consumed}, std::tuple{"", true, Tick::Refused}}) {
        SCOPED_TRACE(name);
        Handoff h;
        guitest::writeFile(h.folder.lockFile(), request("scan.pdf"));
        const fs::path victim = h.dir.path() / (toFolder ? "victim folder" : "victim.txt");
        toFolder ? (void)fs::create_directory(victim) : guitest::writeFile(victim, "keep me");
        fs::permissions(victim, fs::perms(0600));
        const fs::path link = *name ? h.folder.root() / name : h.folder.root();
        *name ? (void)fs::remove(link) : fs::rename(link, h.dir.path() / "real shared");
        fs::create_symlink(victim, link);
        EXPECT_EQ(h.handoff.tick(), tick);
        h.handoff.tick();
        ASSERT_EQ(h.warnings.size(), 1u);
        EXPECT_EQ(h.warnings[0].rfind(link.string() + " is a symbolic link", 0), 0u) << h.warnings[0];
        EXPECT_EQ(bits(victim), fs::perms(0600));
        EXPECT_TRUE(toFolder ? fs::is_empty(victim) : brelmont::testing::fileText(victim) == "keep me");
        EXPECT_TRUE(h.opened.empty());
    }
}

// A refused job says why: the cause in words first, the error domain and code kept after it;
// alerts of workers reach the main thread. One window per file, whatever the spelling of its path;
// closing it forgets it. Save writes the job's bytes unchanged; cancelled, nothing; failed, an alert.
TEST(Documents, RefusalsWindowsAndSave) {
    guitest::TempDir dir;
    const auto bytes = guitest::job(1, 1), modelless = brelmont::testing::JobWriter().embossRaster({1, 1, 1, 1}, 2, 2).data();
    guitest::writeFile(dir.path() / "job.kprn", std::string(bytes.begin(), bytes.end()));
    guitest::writeFile(dir.path() / "nomodel.kprn", std::string(modelless.begin(), modelless.end()));
    guitest::Alerts alerts;
    DocumentController documents;
    for (const char* name : {"nomodel.kprn", "missing.kprn"}) EXPECT_FALSE(documents.openDocument(path(dir.path() / name)));
    std::thread worker([] { brelmont::widgets::MessageBox::show("from a worker"); });
    worker.join();
    const QStringList texts = alerts.take();
    ASSERT_EQ(texts.size(), 3);
    EXPECT_EQ(texts[2], "from a worker");
    EXPECT_TRUE(alerts.onMainThread);
    EXPECT_TRUE(texts[0].startsWith("The job “nomodel.kprn” could not be opened. The job names no embosser model."));
    EXPECT_TRUE(texts[1].startsWith("The job “missing.kprn” could not be opened: ")) << texts[1].toStdString();

    auto* window = documents.openDocument(path(dir.path() / "job.kprn"));
    ASSERT_TRUE(window);
    EXPECT_EQ(documents.openDocument(path(dir.path() / "." / "job.kprn")), window);
    for (const fs::path& target : {dir.path() / "copy.kprn", fs::path(), dir.path() / "no such folder" / "copy.kprn"}) {
        documents.m_askSavePath = [&](QWidget*, const QString&) { return target.empty() ? QString() : path(target); };
        EXPECT_EQ(documents.saveDocument(window), target.filename() == "copy.kprn" && fs::exists(target.parent_path()));
    }
    EXPECT_EQ(brelmont::testing::fileText(dir.path() / "copy.kprn"), std::string(bytes.begin(), bytes.end()));
    alerts.expectOne("The job could not be saved: ");
    window->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(documents.windows().size(), 0);
}
