// The preview hand-off against a temporary shared folder: request files valid and not, the
// permission warning, job names that try to run a command or leave the folder, and links planted
// where the hand-off's files belong.
#include "app/PreviewHandoff.h"

#include "GuiTestSupport.h"

#include <gtest/gtest.h>

#include <set>
#include <sys/stat.h>

using brelmont::app::PreviewHandoff;
using brelmont::app::SharedFolder;
namespace fs = std::filesystem;

namespace {

struct Handoff {
    Handoff()
        : folder(dir.path() / "shared"),
          handoff(
              folder, [this](const std::string& text) { warnings.push_back(text); },
              [this](const fs::path& job) { opened.push_back(job); }) {
        folder.createFolders();
        folder.truncateLockFile();
        chmod(folder.lockFile().c_str(), 0666);
        guitest::writeFile(folder.previewJob(), std::string("preview job bytes"));
    }

    void request(const std::string& text) { guitest::writeFile(folder.lockFile(), text); }
    std::string lock() const { return guitest::readFile(folder.lockFile()); }

    guitest::TempDir dir;
    SharedFolder folder;
    std::vector<std::string> warnings;
    std::vector<fs::path> opened;
    PreviewHandoff handoff;
};

std::string requestNaming(const std::string& jobLine) {
    return "printer\nuser\n" + jobLine + "\ncopies=1\nqueue\n";
}

// Every file and folder under `root`, as paths relative to it.
std::set<std::string> tree(const fs::path& root) {
    std::set<std::string> entries;
    for (const auto& entry : fs::recursive_directory_iterator(root))
        entries.insert(fs::relative(entry.path(), root).string());
    return entries;
}

} // namespace

TEST(RequestFile, LinesAndBaseNames) {
    EXPECT_EQ(brelmont::app::requestBaseName(requestNaming("report.final.pdf")), "report.final");
    EXPECT_EQ(brelmont::app::requestBaseName(requestNaming("scan")), "scan");
    EXPECT_EQ(brelmont::app::requestBaseName("a\n\n\nb\n\nscan.pdf\n\nd\ne"), "scan");
    EXPECT_EQ(brelmont::app::requestBaseName("a\nb\n\nc\nd\n"), std::nullopt);
    EXPECT_EQ(brelmont::app::requestLines("\n\na\n\n").size(), 1u);
}

TEST(RequestFile, PlainFileNames) {
    EXPECT_TRUE(brelmont::app::isPlainFileName("report.final"));
    EXPECT_TRUE(brelmont::app::isPlainFileName("$(touch x)"));
    EXPECT_FALSE(brelmont::app::isPlainFileName(""));
    EXPECT_FALSE(brelmont::app::isPlainFileName("."));
    EXPECT_FALSE(brelmont::app::isPlainFileName(".."));
    EXPECT_FALSE(brelmont::app::isPlainFileName("../x"));
    EXPECT_FALSE(brelmont::app::isPlainFileName("a/b"));
    EXPECT_FALSE(brelmont::app::isPlainFileName(std::string("a\0b", 3)));
}

TEST(PreviewHandoff, EachTickMakesTheTwoFilesWritableByTheDriver) {
    Handoff h;
    fs::remove(h.folder.lockFile());
    fs::remove(h.folder.previewJob());
    EXPECT_EQ(h.handoff.tick(), PreviewHandoff::Tick::NoRequest);
    for (const fs::path& file : {h.folder.lockFile(), h.folder.previewJob()})
        EXPECT_EQ(fs::status(file).permissions() & fs::perms::mask, fs::perms(0666)) << file;
    EXPECT_TRUE(h.opened.empty());
    EXPECT_EQ(h.handoff.permissionWarning(), h.folder.lockFile().string() + " has not the correct permissions!\nPlease remove the file.");
}

TEST(PreviewHandoff, ValidRequestCopiesTheJobUnderItsNameAndOpensIt) {
    Handoff h;
    h.request(requestNaming("report.final.pdf"));
    EXPECT_EQ(h.handoff.tick(), PreviewHandoff::Tick::Opened);
    const fs::path target = h.folder.root() / "report.final.kprn";
    ASSERT_EQ(h.opened, std::vector<fs::path>{target});
    EXPECT_EQ(guitest::readFile(target), "preview job bytes");
    EXPECT_EQ(h.lock(), ""); // consumed
    EXPECT_EQ(h.handoff.tick(), PreviewHandoff::Tick::NoRequest);
    EXPECT_EQ(h.opened.size(), 1u);
}

TEST(PreviewHandoff, NameWithoutDotIsTakenWhole) {
    Handoff h;
    h.request(requestNaming("scan"));
    h.handoff.tick();
    EXPECT_EQ(h.opened, std::vector<fs::path>{h.folder.root() / "scan.kprn"});
}

TEST(PreviewHandoff, BlankLinesNeitherCountNorShiftTheThirdLine) {
    Handoff h;
    h.request("\nprinter\n\n\nuser\n\nscan.pdf\n\n\ncopies=1\nqueue\n\n");
    EXPECT_EQ(h.handoff.tick(), PreviewHandoff::Tick::Opened);
    EXPECT_EQ(h.opened, std::vector<fs::path>{h.folder.root() / "scan.kprn"});
}

TEST(PreviewHandoff, FourLinesAreConsumedWithoutOpening) {
    Handoff h;
    h.request("printer\n\nuser\nscan.pdf\n\n\ncopies=1\n");
    EXPECT_EQ(h.handoff.tick(), PreviewHandoff::Tick::Consumed);
    EXPECT_TRUE(h.opened.empty());
    EXPECT_EQ(h.lock(), "");
    EXPECT_FALSE(fs::exists(h.folder.root() / "scan.kprn"));
}

TEST(PreviewHandoff, DottedNamesThatAreNoFileNamesOpenNothing) {
    // "." and ".hidden" leave an empty base name, "..pdf" leaves ".", "..." leaves "..".
    for (const char* line : {".", ".hidden", "..pdf", "...", "..", "...kprn"}) {
        Handoff h;
        const auto before = tree(h.dir.path());
        h.request(requestNaming(line));
        EXPECT_EQ(h.handoff.tick(), PreviewHandoff::Tick::Consumed) << line;
        EXPECT_TRUE(h.opened.empty()) << line;
        EXPECT_EQ(h.lock(), "") << line;
        EXPECT_EQ(tree(h.dir.path()), before) << line;
    }
}

TEST(PreviewHandoff, DotsInsideANameAreKept) {
    Handoff h;
    h.request(requestNaming("..report.pdf"));
    EXPECT_EQ(h.handoff.tick(), PreviewHandoff::Tick::Opened);
    EXPECT_TRUE(fs::exists(h.folder.root() / "..report.kprn"));
}

TEST(PreviewHandoff, WrongPermissionsWarnOnceAndOpenNothing) {
    // The tick sets the bits of its own files only: a request file of another user keeps them.
    Handoff h;
    h.request(requestNaming("scan.pdf"));
    if (chown(h.folder.lockFile().c_str(), 65534, 65534) != 0) GTEST_SKIP() << "only root can give a file to another user";
    chmod(h.folder.lockFile().c_str(), 0644);
    for (int i = 0; i < 5; ++i) EXPECT_EQ(h.handoff.tick(), PreviewHandoff::Tick::WrongPermissions);
    ASSERT_EQ(h.warnings.size(), 1u);
    EXPECT_EQ(h.warnings[0], h.folder.lockFile().string() + " has not the correct permissions!\nPlease remove the file.");
    EXPECT_TRUE(h.opened.empty());
    EXPECT_EQ(h.lock(), requestNaming("scan.pdf")); // left alone

    chmod(h.folder.lockFile().c_str(), 0666);
    EXPECT_EQ(h.handoff.tick(), PreviewHandoff::Tick::Opened);
    chmod(h.folder.lockFile().c_str(), 0600);
    h.handoff.tick();
    EXPECT_EQ(h.warnings.size(), 1u); // once per launch, however often the bits go wrong
}

TEST(PreviewHandoff, TheTickRestoresThePermissionBits) {
    Handoff h;
    chmod(h.folder.lockFile().c_str(), 0644);
    chmod(h.folder.previewJob().c_str(), 0600);
    EXPECT_EQ(h.handoff.tick(), PreviewHandoff::Tick::NoRequest);
    EXPECT_TRUE(h.warnings.empty());
    EXPECT_EQ(fs::status(h.folder.lockFile()).permissions() & fs::perms::mask, fs::perms(0666));
    EXPECT_EQ(fs::status(h.folder.previewJob()).permissions() & fs::perms::mask, fs::perms(0666));
}

TEST(PreviewHandoff, AFolderThatCannotBeMadeEndsTheTick) {
    Handoff h;
    fs::remove_all(h.folder.root());
    EXPECT_EQ(h.handoff.tick(), PreviewHandoff::Tick::NoLockFile);
    EXPECT_TRUE(h.warnings.empty());
}

TEST(PreviewHandoff, TextThatIsNotUtf8IsAnEmptyRequest) {
    Handoff h;
    h.request("printer\nuser\nscan\xff\xfe.pdf\ncopies=1\nqueue\n");
    EXPECT_EQ(h.handoff.tick(), PreviewHandoff::Tick::Consumed);
    EXPECT_TRUE(h.opened.empty());
    EXPECT_EQ(h.lock(), "");
    EXPECT_TRUE(brelmont::app::isUtf8("Bräille ⠃⠗"));
    EXPECT_FALSE(brelmont::app::isUtf8("\xc0\xaf"));
    EXPECT_FALSE(brelmont::app::isUtf8("\xe2\x82"));
}

TEST(PreviewHandoff, HostileNamesRunNoCommandAndWriteOnlyInsideTheFolder) {
    // Names that a shell would run if they reached it unquoted, and names that climb out.
    const std::vector<std::string> names = {
        "$(touch PWNED)",         "`touch PWNED`",          "\"; touch PWNED; \"",
        "x\" && touch PWNED && \"", "'; touch PWNED; '",      "$(touch${IFS}PWNED)",
        "a;touch PWNED",          "a|touch PWNED",          "a\\\"$(touch PWNED)\\\"",
        "!touch PWNED",           "-rf",                    "a\rb",
        "../escape",              "../../escape",           "..",
        "sub/../../escape",       "/tmp/escape",            "$(touch ../PWNED)",
    };
    for (const std::string& name : names) {
        Handoff h;
        const fs::path outside = h.dir.path();
        const fs::path previous = fs::current_path();
        fs::current_path(h.folder.root()); // a command run by mistake would write here or above
        const auto before = tree(outside);
        h.request(requestNaming(name + ".pdf"));
        const auto result = h.handoff.tick();
        fs::current_path(previous);

        auto after = tree(outside);
        // The only new entry allowed is the job copied under its literal name inside the folder.
        const std::string copy = "shared/" + name + ".kprn";
        if (result == PreviewHandoff::Tick::Opened) {
            EXPECT_EQ(after.erase(copy), 1u) << name;
            EXPECT_EQ(guitest::readFile(h.folder.root() / (name + ".kprn")), "preview job bytes") << name;
            EXPECT_EQ(h.opened, std::vector<fs::path>{h.folder.root() / (name + ".kprn")}) << name;
        } else {
            EXPECT_EQ(result, PreviewHandoff::Tick::Consumed) << name;
            EXPECT_TRUE(h.opened.empty()) << name;
        }
        EXPECT_EQ(after, before) << name;
        EXPECT_FALSE(fs::exists(outside / "PWNED")) << name;
        EXPECT_FALSE(fs::exists(h.folder.root() / "PWNED")) << name;
        EXPECT_FALSE(fs::exists(fs::temp_directory_path() / "escape.kprn")) << name;
        EXPECT_EQ(h.lock(), "") << name;
    }
}

// Links to a file of the user (or to a folder) planted where the hand-off keeps its files: each is
// refused with one message, left alone, and the file behind it is neither changed nor opened.
TEST(PreviewHandoff, PlantedLinksAreRefusedAndLeftAlone) {
    struct Case {
        const char* link;
        bool toFolder;
        PreviewHandoff::Tick tick;
    };
    for (const Case& c : {Case{".preview.lock", false, PreviewHandoff::Tick::Refused},
                          Case{".preview.kprn", false, PreviewHandoff::Tick::Consumed},
                          Case{"scan.kprn", false, PreviewHandoff::Tick::Consumed},
                          Case{".preview.lock", true, PreviewHandoff::Tick::Refused},
                          Case{"", true, PreviewHandoff::Tick::Refused}}) {
        SCOPED_TRACE(std::string(c.link) + (c.toFolder ? " to a folder" : " to a file"));
        Handoff h;
        h.request(requestNaming("scan.pdf"));
        const fs::path victim = h.dir.path() / (c.toFolder ? "victim folder" : "victim.txt");
        if (c.toFolder) fs::create_directory(victim);
        else guitest::writeFile(victim, std::string("keep me"));
        fs::permissions(victim, fs::perms(0600));
        const fs::path link = *c.link ? h.folder.root() / c.link : h.folder.root();
        if (*c.link) fs::remove(link);
        else fs::rename(link, h.dir.path() / "real shared");
        fs::create_symlink(victim, link);

        EXPECT_EQ(h.handoff.tick(), c.tick);
        h.handoff.tick();
        ASSERT_EQ(h.warnings.size(), 1u); // once, however many ticks meet the link
        EXPECT_EQ(h.warnings[0].rfind(link.string() + " is a symbolic link", 0), 0u) << h.warnings[0];
        EXPECT_TRUE(fs::is_symlink(link));
        EXPECT_EQ(fs::status(victim).permissions() & fs::perms::mask, fs::perms(0600));
        if (!c.toFolder) EXPECT_EQ(guitest::readFile(victim), "keep me");
        else EXPECT_TRUE(fs::is_empty(victim));
        EXPECT_TRUE(h.opened.empty());
    }
}
