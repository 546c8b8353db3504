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

// Paging in the viewer, and Apply, Read Sensors and Set Variable (with no variable chosen, then with
// one chosen by keyboard) in the toolbox over the simulated Orvin: each step is followed by what a
// screen reader says, and by nothing else.
TEST_F(ScreenReader, HearsTheOutcomeOfEachAction) {
    const guitest::TempDir scratch("screen-reader");
    const std::filesystem::path job = scratch.path() / "three pages.kprn";
    const brelmont::testing::ByteVector bytes = guitest::job(3, 0);
    guitest::writeFile(job, std::string(bytes.begin(), bytes.end()));
    // ACTION|CONTROL[|TEXT]|what is heard, all of it (waited for until heard, and nothing else)
    const std::vector<std::string> steps = {
        "focus|Next Page|",
        "press|Next Page|Page 2 of 3.",
        "press|Embosser toolbox\u2026|",
        "toggle|Tunes|",
        "press|Apply|The changed settings were written to the embosser.",
        "press|Read Sensors|The sensors were read: Front Paper Flag: 1, Back Paper Flag: 0; Bottom Home Flag: 1, Top Home "
        "Flag: 1; Front Alignment Sensor: 412, Back Alignment Sensor: 398; Carriage Temperature: 31\u00b0C, Carriage "
        "Temperature: 30\u00b0C; Supply Voltage: 24.1, Housing: CLOSED, TintBridge: 1.",
        "press|Set Variable|Nothing was set on the embosser: choose a variable, and give it a value it takes.",
        "keys|Status:|<Tab>G|", // from the field before it, as a keyboard user comes to the list
        "type|Value:|10.0.0.9|",
        "press|Set Variable|GATEWAY was set on the embosser.",
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
    EXPECT_EQ(sim->logCount("@PJL DEFAULT GATEWAY=10.0.0.9"), 1);
}

} // namespace
