// The option store against the private CUPS server: what it reads matches what lpoptions prints,
// what it writes is what lpoptions shows afterwards, the mirror files hold the assignments, and a
// hostile queue name and value reach lpoptions literally.
#include "preferences/OptionListing.h"
#include "preferences/OptionStore.h"
#include "preferences/PreferencesForm.h"

#include "CupsSimFixture.h"
#include "FileText.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace fs = std::filesystem;
using namespace brelmont::preferences;
using brelmont::testing::embosserOptions;
using brelmont::testing::fileText;
using brelmont::testing::ScopedEnv;
using brelmont::testing::shellQuote;
using ::testing::HasSubstr;
using ::testing::Not;

namespace {

const std::string Queue = "Embosser";
// Shell metacharacters that CUPS accepts in a queue name; run by a shell unquoted, this would
// create the file "pwned" in the working folder.
const std::string HostileQueue = "Ho;touch${IFS}pwned&$(touch${IFS}pwned)`touch${IFS}pwned`|x>pwned";

std::string selected(const std::vector<PrintOption>& options, const std::string& key) {
    const PrintOption option = findOption(options, key);
    return option.selected >= 0 ? option.values[size_t(option.selected)] : "(none)";
}

class OptionStoreCups : public brelmont::testing::CupsSimFixture {
protected:
    static void SetUpTestSuite() {
        startSystem({}, {{Queue, "Brelmont Orvin", "socket://127.0.0.1:9", "Options", embosserOptions(), "Brelmont", true},
                         {HostileQueue, "Brelmont Orvin", "socket://127.0.0.1:9", "Odd", embosserOptions(), "Brelmont", true}});
        if (!cups || !setupFailure.empty()) return;
        // A blank in the folder name keeps the mirror file's redirection honest.
        shared = scratch->path() / "prefs shared";
        fs::create_directories(shared / ".lpoptions");
        fs::create_directories(scratch->path() / "work");
        variables.push_back(std::make_unique<ScopedEnv>("BRELMONT_SHARED_DIR", shared.string()));
        oldWorkingFolder = fs::current_path();
        fs::current_path(scratch->path() / "work");
    }
    static void TearDownTestSuite() {
        if (cups) fs::current_path(oldWorkingFolder);
        CupsSimFixture::TearDownTestSuite();
    }
    void SetUp() override {
        CupsSimFixture::SetUp();
        for (const std::string& name : {Queue, HostileQueue}) cups->run("lpoptions -x " + shellQuote(name));
    }
    void TearDown() override { EXPECT_FALSE(cups && fs::exists("pwned")) << "a shell ran part of a value or queue name"; }

    static std::string lpoptions(const std::string& arguments) { return cups->run("lpoptions " + arguments).out; }
    static std::string assignmentsOf(const std::string& queue) { return lpoptions("-p " + shellQuote(queue)); }
    static void write(const std::vector<std::string>& commands) {
        EXPECT_EQ(OptionStore::runCommands(commands), std::vector<std::string>{});
    }

    static inline fs::path shared, oldWorkingFolder;
};

TEST_F(OptionStoreCups, OptionListMatchesTheListingAndTheQueueDescription) {
    std::vector<std::string> listed;
    std::istringstream listing(lpoptions("-p " + Queue + " -l"));
    for (std::string line; std::getline(listing, line);) listed.push_back(line.substr(0, line.find('/')));
    const std::vector<PrintOption> options = OptionStore::load(Queue);
    ASSERT_EQ(options.size(), listed.size() + 6);
    for (size_t i = 0; i < listed.size(); ++i) EXPECT_EQ(options[i].key, listed[i]);
    // Each option's default as the queue's description declares it (the labels are shown only).
    for (const auto& expected : embosserOptions())
        EXPECT_EQ(selected(options, expected.keyword), expected.defaultChoice) << expected.keyword;
    cups->run("lpoptions -p " + Queue + " -o collate=false -o karro-contrast=abc -o karro-brightness=-4 " +
              "-o \"karro-outputpath='/tmp/out dir'\"");
    const std::vector<PrintOption> assigned = OptionStore::load(Queue);
    EXPECT_EQ(applicationOptions(assignmentsOf(Queue)), std::vector<PrintOption>(assigned.end() - 6, assigned.end()));
    EXPECT_EQ(findOption(assigned, "karro-outputpath").values, std::vector<std::string>{"/tmp/out dir"});
}

TEST_F(OptionStoreCups, WritesShowInTheAssignmentsAndTheListing) {
    write({commands::setOption(Queue, "Duplex", "DuplexNoTumble"), commands::setContrastAndBrightness(Queue, -5, 12),
           commands::setTwoOptions(Queue, "ColorModel", "Color", "PrintMode", "3"),
           commands::setCustomPaperSize(Queue, 210, 297, UnitMillimetres), commands::setOption(Queue, "karro-preview", "true"),
           commands::removeOption(Queue, "karro-preview")});
    const std::string assigned = assignmentsOf(Queue);
    for (const char* text : {"Duplex=DuplexNoTumble", "karro-contrast=-5", "karro-brightness=12", "ColorModel=Color",
                             "PrintMode=3", "media=Custom.210.0x297.0mm", "PageSize=Custom.210.0x297.0mm"})
        EXPECT_THAT(assigned, HasSubstr(text));
    EXPECT_THAT(assigned, Not(HasSubstr("karro-preview")));
    const std::vector<PrintOption> options = OptionStore::load(Queue);
    EXPECT_EQ(selected(options, "Duplex"), "DuplexNoTumble");
    EXPECT_EQ(findOption(options, "media").values, std::vector<std::string>{"Custom.210.0x297.0mm"});

    write({commands::setStandardPaperSize(Queue, "PageSize", "A4")});
    EXPECT_EQ(assignmentsOf(Queue).find("media="), std::string::npos);
    EXPECT_EQ(selected(OptionStore::load(Queue), "PageSize"), "A4");
    write({commands::setCustomPaperSize(Queue, 0.5, 11, UnitInches)});
    EXPECT_EQ(assignmentsOf(Queue).find("PageSize="), std::string::npos);
}

// The driver's copy holds exactly the assignments; a scheduler that does not answer leaves it its
// last good copy; a link planted for the copy or its folder is refused and left alone.
TEST_F(OptionStoreCups, MirrorFilesHoldTheAssignmentsAndNeverFollowALink) {
    write({commands::setOption(Queue, "karro-outputpath", "/tmp/out dir/x")});
    EXPECT_TRUE(OptionStore::refreshMirrors({Queue, HostileQueue}).empty());
    for (const std::string& name : {Queue, HostileQueue})
        EXPECT_EQ(fileText(shared / ".lpoptions" / (name + ".lpoptions")), assignmentsOf(name)) << name;
    const fs::path mirror = shared / ".lpoptions" / (Queue + ".lpoptions");
    EXPECT_EQ(fs::status(mirror).permissions() & fs::perms::all, fs::perms(0644));
    write({commands::removeOption(Queue, "karro-outputpath")});
    const std::string good = assignmentsOf(Queue);
    std::string error;
    {
        const ScopedEnv away("CUPS_SERVER", "127.0.0.1:9");
        EXPECT_FALSE(OptionStore::writeMirrorFile(Queue));
        (void)OptionStore::load(Queue, &error);
    }
    EXPECT_THAT(error, HasSubstr("did not list the queue"));
    EXPECT_NE(fileText(mirror).find("karro-outputpath"), std::string::npos);
    ASSERT_TRUE(OptionStore::writeMirrorFile(Queue));
    EXPECT_EQ(fileText(mirror), good);

    const fs::path target = shared / "elsewhere";
    std::ofstream(target) << "untouched";
    fs::remove(mirror);
    fs::create_symlink(target, mirror);
    std::string refusal;
    EXPECT_FALSE(OptionStore::writeMirrorFile(Queue, {}, &refusal));
    EXPECT_THAT(refusal, HasSubstr(mirror.string() + " is a symbolic link"));
    EXPECT_EQ(fileText(target), "untouched");
    fs::remove(mirror);

    const fs::path folder = shared / ".lpoptions", elsewhere = shared / "other folder";
    fs::create_directories(elsewhere);
    fs::rename(folder, shared / "mirrors");
    fs::create_directory_symlink(elsewhere, folder);
    const std::vector<std::string> refusals = OptionStore::refreshMirrors({Queue, HostileQueue});
    ASSERT_EQ(refusals.size(), 1u);
    EXPECT_NE(refusals[0].find(folder.string() + " is a symbolic link"), std::string::npos) << refusals[0];
    EXPECT_TRUE(fs::is_empty(elsewhere));
    fs::remove(folder);
    fs::rename(shared / "mirrors", folder);
}

// The one hostile queue name end to end: the store, lpoptions and brelmont-cli options.
TEST_F(OptionStoreCups, AHostileQueueNameAndValueStayLiteral) {
    const std::string value = "a 'b',c\\d $(touch pwned) {x=y}";
    write({commands::setOption(HostileQueue, "Duplex", "DuplexNoTumble"),
           commands::setOption(HostileQueue, "karro-outputpath", value)});
    EXPECT_EQ(OptionStore::listing(HostileQueue), lpoptions("-p " + shellQuote(HostileQueue) + " -l"));
    EXPECT_EQ(assignmentsOf(Queue).find("Duplex=DuplexNoTumble"), std::string::npos);
    const std::vector<PrintOption> options = OptionStore::load(HostileQueue);
    EXPECT_EQ(selected(options, "Duplex"), "DuplexNoTumble");
    EXPECT_EQ(findOption(options, "karro-outputpath").values, std::vector<std::string>{value});

    const auto result = cli("options " + shellQuote(HostileQueue));
    ASSERT_EQ(result.exitCode, 0) << result.err;
    std::string expected;
    for (const PrintOption& option : windowOptionList(options)) {
        expected += option.key + '\t' + option.label + '\t' + std::to_string(option.selected);
        for (const std::string& v : option.values) expected += '\t' + v;
        expected += '\n';
    }
    // (That the custom size comes last, whatever the scheduler's order, is the form's test.)
    EXPECT_EQ(result.out, expected);

    // A queue the scheduler does not know is a failure, not a list of made-up defaults.
    const auto unknown = cli("options No_Such_Queue");
    EXPECT_EQ(unknown.exitCode, 1);
    EXPECT_EQ(unknown.out, "");
    EXPECT_THAT(unknown.err, HasSubstr("No_Such_Queue"));
}

} // namespace
