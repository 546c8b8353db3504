// The real program under an X server and accessibility bus of the test's own, used as a screen
// reader user does: every control is reached and pressed through the accessibility interfaces
// (screen_reader.py), and what a screen reader speaks without the focus moving is heard.
#include "GuiTestSupport.h"

#include "CupsSimFixture.h"

namespace {

class ScreenReader : public brelmont::testing::CupsSimFixture {
protected:
    static void SetUpTestSuite() {
        brelmont::testing::QueueDefinition queue{"Orvin_200", "Orvin 200", "", "Hall Orvin",
                                                 brelmont::testing::embosserOptions()};
        startSystem({{"orvin", queue}});
    }
};

// One path through each window: paging in the viewer, and in the toolbox over the simulated Orvin a
// check box toggled and applied, then Set Variable with no variable chosen; each step is followed by
// what a screen reader says, and by nothing else. (Read Sensors and a variable set are said through
// the same status line; the engine pins what they write.)
TEST_F(ScreenReader, HearsTheOutcomeOfEachAction) {
    const guitest::TempDir scratch("screen-reader");
    const std::filesystem::path job = scratch.path() / "three pages.kprn";
    const brelmont::testing::ByteVector bytes = guitest::job(3, 0);
    guitest::writeFile(job, std::string(bytes.begin(), bytes.end()));
    // ACTION|CONTROL|what is heard, all of it (waited for until heard, and nothing else)
    const std::vector<std::string> steps = {
        "focus|Next Page|",
        "press|Next Page|Page 2 of 3.",
        "press|Embosser toolbox\u2026|",
        "toggle|Tunes|",
        "press|Apply|The changed settings were written to the embosser.",
        "press|Set Variable|Nothing was set on the embosser: choose a variable, and give it a value it takes.",
    };
    std::string command = std::string(BRELMONT_SYSTEM_PYTHON) + " " + BRELMONT_SCREEN_READER, expected;
    for (const std::string& step : steps) {
        command += " " + brelmont::testing::shellQuote(step);
        const size_t action = step.find('|'), control = step.find('|', action + 1), heard = step.rfind('|');
        expected += "step: " + step.substr(0, action) + " " + step.substr(action + 1, control - action - 1) + "\n";
        if (heard + 1 < step.size()) expected += "heard: " + step.substr(heard + 1) + "\n";
    }
    command += std::string(" -- ") + BRELMONT_COMPANION + " " + brelmont::testing::shellQuote(job.string());
    const brelmont::testing::ShellResult run = cups->run(command, 50);
    ASSERT_EQ(run.exitCode, 0) << run.out << run.err;
    EXPECT_EQ(run.out, expected);
    EXPECT_EQ(sim->logCount("@PJL DEFAULT FLAGS="), 1);
}

} // namespace
