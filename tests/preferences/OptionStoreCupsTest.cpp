// The option store against the private CUPS server: what it reads matches what lpoptions prints,
// what it writes is what lpoptions shows afterwards, the mirror files hold the assignments, and
// hostile values and queue names reach lpoptions literally.
#include <gtest/gtest.h>

#include "CupsServer.h"
#include "ScratchDir.h"
#include "preferences/OptionListing.h"
#include "preferences/OptionStore.h"
#include "preferences/PreferencesForm.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;
using namespace brelmont::preferences;
using brelmont::testing::CupsServer;
using brelmont::testing::embosserOptions;
using brelmont::testing::PpdOption;
using brelmont::testing::QueueDefinition;
using brelmont::testing::ScratchDir;
using brelmont::testing::shellQuote;

namespace {

const std::string Queue = "Embosser";
// Shell metacharacters that CUPS accepts in a queue name; run by a shell unquoted, this would
// create the file "pwned" in the working folder.
const std::string HostileQueue = "Ho;touch${IFS}pwned&$(touch${IFS}pwned)`touch${IFS}pwned`|x>pwned";

std::string readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void writeFile(const fs::path& path, const std::string& text) { std::ofstream(path, std::ios::binary) << text; }

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> out;
    std::stringstream in(text);
    for (std::string line; std::getline(in, line);)
        if (!line.empty()) out.push_back(line);
    return out;
}

class OptionStoreCups : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        if (!CupsServer::available()) return;
        cups = std::make_unique<CupsServer>();
        std::string error;
        if (!cups->start(&error)) {
            startError = error;
            cups.reset();
            return;
        }
        for (const std::string& name : {Queue, HostileQueue}) {
            QueueDefinition queue;
            queue.name = name;
            queue.makeAndModel = "Brelmont Orvin";
            queue.deviceUri = "socket://127.0.0.1:9";
            queue.info = "Embosser for option tests";
            queue.options = embosserOptions();
            queue.customPageSize = true;
            // Its description declares the custom size first, so the scheduler lists it first.
            queue.customPageSizeFirst = name == HostileQueue;
            if (!cups->addQueue(queue, &error)) startError += error + "\n";
        }
        cups->applyEnvironment();
        // A blank in the folder name keeps the mirror file's redirection honest.
        scratch = std::make_unique<ScratchDir>("prefs shared");
        shared = scratch->path();
        fs::create_directories(shared / ".lpoptions");
        work = shared / "work";
        fs::create_directories(work);
        ::setenv("BRELMONT_SHARED_DIR", shared.c_str(), 1);
        oldWorkingFolder = fs::current_path();
        fs::current_path(work);
    }

    static void TearDownTestSuite() {
        if (!cups) return;
        fs::current_path(oldWorkingFolder);
        ::unsetenv("BRELMONT_SHARED_DIR");
        cups->stop();
        cups.reset();
        scratch.reset();
    }

    void SetUp() override {
        if (!cups) GTEST_SKIP() << (startError.empty() ? "cupsd is not installed" : startError);
        ASSERT_TRUE(startError.empty()) << startError;
        // Each test starts from the queues' own defaults.
        for (const std::string& name : {Queue, HostileQueue}) cups->run("lpoptions -x " + shellQuote(name));
    }

    void TearDown() override {
        if (cups) { EXPECT_FALSE(fs::exists(work / "pwned")) << "a shell ran part of a value or queue name"; }
    }

    static std::string lpoptions(const std::string& arguments) { return cups->run("lpoptions " + arguments).out; }
    static std::string assignmentsOf(const std::string& queue) { return lpoptions("-p " + shellQuote(queue)); }

    static inline std::unique_ptr<CupsServer> cups;
    static inline std::string startError;
    static inline std::unique_ptr<ScratchDir> scratch;
    static inline fs::path shared, work, oldWorkingFolder;
};

// The choice names of a test option: "Letter/US Letter" is listed as "Letter".
std::vector<std::string> choiceNames(const PpdOption& option) {
    std::vector<std::string> names;
    for (const std::string& choice : option.choices) names.push_back(choice.substr(0, choice.find('/')));
    return names;
}

TEST_F(OptionStoreCups, OptionListMatchesTheListingAndTheQueueDescription) {
    const std::string listed = lpoptions("-p " + Queue + " -l");
    const std::vector<PrintOption> options = OptionStore::load(Queue);
    const std::vector<std::string> listedLines = lines(listed);
    ASSERT_EQ(options.size(), listedLines.size() + 6) << listed;

    for (const PpdOption& expected : embosserOptions()) {
        const PrintOption option = findOption(options, expected.keyword);
        SCOPED_TRACE(expected.keyword);
        EXPECT_EQ(option.label, expected.text);
        std::vector<std::string> values = option.values;
        std::erase_if(values, [](const std::string& v) { return v.starts_with("Custom."); });
        EXPECT_EQ(values, choiceNames(expected));
        ASSERT_GE(option.selected, 0);
        EXPECT_EQ(option.values[option.selected], expected.defaultChoice);
    }
    // The custom size choice is listed among the page sizes.
    const PrintOption pageSize = findOption(options, "PageSize");
    EXPECT_NE(std::find(pageSize.values.begin(), pageSize.values.end(), "Custom.WIDTHxHEIGHT"), pageSize.values.end());

    // Line by line, in output order.
    for (size_t i = 0; i < listedLines.size(); ++i) EXPECT_EQ(options[i].key, listedLines[i].substr(0, listedLines[i].find('/')));
}

TEST_F(OptionStoreCups, ApplicationOptionsDefaultWithoutAssignments) {
    const std::vector<PrintOption> options = OptionStore::load(Queue);
    EXPECT_EQ(findOption(options, "collate").values, std::vector<std::string>{"true"});
    EXPECT_EQ(findOption(options, "karro-preview").values, std::vector<std::string>{"false"});
    EXPECT_EQ(findOption(options, "media").selected, -1);
    EXPECT_EQ(findOption(options, "karro-contrast").values, std::vector<std::string>{"0"});
    EXPECT_EQ(findOption(options, "karro-outputpath").values, std::vector<std::string>{""});
}

TEST_F(OptionStoreCups, ApplicationOptionsFollowTheAssignments) {
    cups->run("lpoptions -p " + Queue +
              " -o collate=false -o karro-preview=true -o karro-contrast=abc "
              "-o karro-brightness=-4 -o karro-patternfile=/p/dots.pat -o \"karro-outputpath='/tmp/out dir'\"");
    const std::string assigned = assignmentsOf(Queue);
    const std::vector<PrintOption> options = OptionStore::load(Queue);
    EXPECT_EQ(applicationOptions(assigned), std::vector<PrintOption>(options.end() - 6, options.end()));
    EXPECT_EQ(findOption(options, "collate").values, std::vector<std::string>{"false"});
    EXPECT_EQ(findOption(options, "karro-preview").values, std::vector<std::string>{"true"});
    EXPECT_EQ(findOption(options, "karro-contrast").values, std::vector<std::string>{"0"});
    EXPECT_EQ(findOption(options, "karro-brightness").values, std::vector<std::string>{"-4"});
    EXPECT_EQ(findOption(options, "karro-patternfile").values, std::vector<std::string>{"/p/dots.pat"});
    EXPECT_EQ(findOption(options, "karro-outputpath").values, std::vector<std::string>{"/tmp/out dir"}) << assigned;
}

TEST_F(OptionStoreCups, WritesShowInTheAssignmentsAndTheListing) {
    OptionStore::setOption(Queue, "Duplex", "DuplexNoTumble");
    OptionStore::setContrastAndBrightness(Queue, -5, 12);
    OptionStore::setTwoOptions(Queue, "ColorModel", "Color", "PrintMode", "3");
    OptionStore::setOption(Queue, "karro-preview", "true");
    std::string assigned = assignmentsOf(Queue);
    for (const char* text : {"Duplex=DuplexNoTumble", "karro-contrast=-5", "karro-brightness=12", "ColorModel=Color",
                             "PrintMode=3", "karro-preview=true"})
        EXPECT_NE(assigned.find(text), std::string::npos) << text << " in " << assigned;

    const std::vector<PrintOption> options = OptionStore::load(Queue);
    const PrintOption duplex = findOption(options, "Duplex");
    ASSERT_GE(duplex.selected, 0);
    EXPECT_EQ(duplex.values[duplex.selected], "DuplexNoTumble");
    EXPECT_EQ(findOption(options, "karro-contrast").values, std::vector<std::string>{"-5"});
    EXPECT_EQ(findOption(options, "karro-preview").values, std::vector<std::string>{"true"});

    OptionStore::removeOption(Queue, "karro-preview");
    assigned = assignmentsOf(Queue);
    EXPECT_EQ(assigned.find("karro-preview="), std::string::npos) << assigned;
}

TEST_F(OptionStoreCups, CustomSizesRoundTripInEveryUnit) {
    const struct {
        double width, height;
        int units;
        const char* value;
    } sizes[] = {{8.5, 11, UnitInches, "Custom.8.5x11.0in"},
                 {210, 297, UnitMillimetres, "Custom.210.0x297.0mm"},
                 {21, 29.7, UnitCentimetres, "Custom.21.0x29.7cm"},
                 {612, 792, UnitPoints, "Custom.612.0x792.0"}};
    for (const auto& size : sizes) {
        SCOPED_TRACE(size.value);
        OptionStore::setCustomPaperSize(Queue, size.width, size.height, size.units);
        const std::string assigned = assignmentsOf(Queue);
        EXPECT_NE(assigned.find(std::string("media=") + size.value), std::string::npos) << assigned;
        EXPECT_NE(assigned.find(std::string("PageSize=") + size.value), std::string::npos) << assigned;
        EXPECT_EQ(findOption(OptionStore::load(Queue), "media").values, std::vector<std::string>{size.value});
    }

    OptionStore::setCustomPaperSize(Queue, 0.5, 11, UnitInches);
    std::string assigned = assignmentsOf(Queue);
    EXPECT_EQ(assigned.find("media="), std::string::npos) << assigned;
    EXPECT_EQ(assigned.find("PageSize="), std::string::npos) << assigned;

    OptionStore::setCustomPaperSize(Queue, 8.5, 11, UnitInches);
    OptionStore::setStandardPaperSize(Queue, "PageSize", "A4");
    assigned = assignmentsOf(Queue);
    EXPECT_EQ(assigned.find("media="), std::string::npos) << assigned;
    EXPECT_NE(assigned.find("PageSize=A4"), std::string::npos) << assigned;
    const PrintOption pageSize = findOption(OptionStore::load(Queue), "PageSize");
    ASSERT_GE(pageSize.selected, 0);
    EXPECT_EQ(pageSize.values[pageSize.selected], "A4");
}

TEST_F(OptionStoreCups, MirrorFilesHoldExactlyTheAssignments) {
    OptionStore::setOption(Queue, "karro-outputpath", "/tmp/out dir/x");
    OptionStore::setOption(HostileQueue, "collate", "false");
    OptionStore::refreshMirrors({Queue, HostileQueue});
    for (const std::string& name : {Queue, HostileQueue}) {
        SCOPED_TRACE(name);
        const fs::path mirror = shared / ".lpoptions" / (name + ".lpoptions");
        ASSERT_TRUE(fs::exists(mirror));
        EXPECT_EQ(readFile(mirror), assignmentsOf(name));
        EXPECT_EQ(readFile(mirror), OptionStore::assignments(name));
    }
    EXPECT_NE(readFile(shared / ".lpoptions" / (HostileQueue + ".lpoptions")).find("collate=false"), std::string::npos);

    // Overwritten whole on the next refresh.
    OptionStore::removeOption(Queue, "karro-outputpath");
    EXPECT_TRUE(OptionStore::writeMirrorFile(Queue));
    EXPECT_EQ(readFile(shared / ".lpoptions" / (Queue + ".lpoptions")), assignmentsOf(Queue));
}

TEST_F(OptionStoreCups, AMirrorIsKeptWhenTheSchedulerDoesNotAnswerAndNeverFollowsALink) {
    const fs::path mirror = shared / ".lpoptions" / (Queue + ".lpoptions");
    ASSERT_TRUE(OptionStore::writeMirrorFile(Queue));
    const std::string good = readFile(mirror);
    ASSERT_FALSE(good.empty());

    // A scheduler that does not answer leaves the driver its last good copy, and the queue's
    // options read as a failure rather than as made-up defaults.
    const std::string server = std::getenv("CUPS_SERVER");
    ::setenv("CUPS_SERVER", "127.0.0.1:9", 1);
    const bool written = OptionStore::writeMirrorFile(Queue);
    std::string error;
    (void)OptionStore::load(Queue, &error);
    ::setenv("CUPS_SERVER", server.c_str(), 1);
    EXPECT_FALSE(written);
    EXPECT_EQ(readFile(mirror), good);
    EXPECT_NE(error.find("did not list the queue"), std::string::npos) << error;

    // A link planted where the copy belongs, or where its folder belongs, is refused and left alone.
    const fs::path target = shared / "elsewhere";
    writeFile(target, "untouched");
    fs::remove(mirror);
    fs::create_symlink(target, mirror);
    std::string refusal;
    EXPECT_FALSE(OptionStore::writeMirrorFile(Queue, {}, &refusal));
    EXPECT_NE(refusal.find(mirror.string() + " is a symbolic link"), std::string::npos) << refusal;
    EXPECT_EQ(readFile(target), "untouched");
    EXPECT_TRUE(fs::is_symlink(mirror));
    fs::remove(mirror);
    EXPECT_TRUE(OptionStore::writeMirrorFile(Queue));
    EXPECT_EQ(readFile(mirror), assignmentsOf(Queue));
    EXPECT_EQ(fs::status(mirror).permissions() & fs::perms::all, fs::perms(0644));

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

TEST_F(OptionStoreCups, HostileValuesStayLiteral) {
    const std::vector<std::string> values = {"/tmp/a b",
                                             "$(touch pwned)",
                                             "`touch pwned`",
                                             "a;touch pwned",
                                             "x && touch pwned",
                                             "it's",
                                             "say \"hi\"",
                                             "back\\slash",
                                             "x|y<z>w",
                                             "{a=b}",
                                             "'quoted'",
                                             "a,b",
                                             "*.pat",
                                             "~/x",
                                             "$HOME",
                                             "  padded  ",
                                             "-o collate=false",
                                             "a b'c",
                                             "a 'b'"};
    for (const std::string& value : values) {
        SCOPED_TRACE(value);
        OptionStore::setOption(Queue, "karro-outputpath", value);
        EXPECT_EQ(findOption(OptionStore::load(Queue), "karro-outputpath").values, std::vector<std::string>{value})
            << assignmentsOf(Queue);
        EXPECT_EQ(findOption(OptionStore::load(Queue), "collate").values, std::vector<std::string>{"true"});
    }
}

TEST_F(OptionStoreCups, HostileQueueNameStaysLiteral) {
    const std::string listed = lpoptions("-p " + shellQuote(HostileQueue) + " -l");
    ASSERT_FALSE(listed.empty());
    EXPECT_EQ(OptionStore::listing(HostileQueue), listed);
    OptionStore::setOption(HostileQueue, "Duplex", "DuplexNoTumble");
    EXPECT_NE(assignmentsOf(HostileQueue).find("Duplex=DuplexNoTumble"), std::string::npos);
    EXPECT_EQ(assignmentsOf(Queue).find("Duplex=DuplexNoTumble"), std::string::npos);
    const PrintOption duplex = findOption(OptionStore::load(HostileQueue), "Duplex");
    ASSERT_GE(duplex.selected, 0);
    EXPECT_EQ(duplex.values[duplex.selected], "DuplexNoTumble");
}

TEST_F(OptionStoreCups, CommandLineToolPrintsTheOptionList) {
    OptionStore::setOption(Queue, "karro-patternfile", "/p/a b.pat");
    const auto result = cups->run(std::string(BRELMONT_CLI) + " options " + Queue);
    ASSERT_EQ(result.exitCode, 0) << result.err;
    std::string expected;
    for (const PrintOption& option : windowOptionList(OptionStore::load(Queue))) {
        expected += option.key + '\t' + option.label + '\t' + std::to_string(option.selected);
        for (const std::string& value : option.values) expected += '\t' + value;
        expected += '\n';
    }
    EXPECT_EQ(result.out, expected);
    EXPECT_NE(result.out.find("Duplex\tDouble-Sided\t0\tNone\tDuplexNoTumble\n"), std::string::npos) << result.out;
    EXPECT_NE(result.out.find("karro-patternfile\tPattern File\t0\t/p/a b.pat\n"), std::string::npos);

    EXPECT_EQ(cups->run(std::string(BRELMONT_CLI) + " options").exitCode, 2);
    // A queue the scheduler does not know is a failure, not a list of made-up defaults.
    const auto unknown = cups->run(std::string(BRELMONT_CLI) + " options No_Such_Queue");
    EXPECT_EQ(unknown.exitCode, 1);
    EXPECT_EQ(unknown.out, "");
    EXPECT_NE(unknown.err.find("No_Such_Queue"), std::string::npos) << unknown.err;
    const auto hostile = cups->run(std::string(BRELMONT_CLI) + " options " + shellQuote(HostileQueue));
    EXPECT_EQ(hostile.exitCode, 0);
    EXPECT_NE(hostile.out.find("Duplex\tDouble-Sided\t0\t"), std::string::npos) << hostile.out;
    // The custom size comes last, as the window lists it, whatever the scheduler's order.
    ASSERT_TRUE(lpoptions("-p " + shellQuote(HostileQueue) + " -l").starts_with("PageSize/Media Size: Custom.WIDTHxHEIGHT"));
    EXPECT_NE(hostile.out.find("PageSize\tMedia Size\t0\tLetter\tLegal\tA4\tA4Tractor\t115X11\t11X14\tCustom.WIDTHxHEIGHT\n"),
              std::string::npos)
        << hostile.out;
}

} // namespace
