// The option store's own rules for the values it writes (the lines themselves are pinned where
// the preferences form makes them).
#include <gtest/gtest.h>

#include "ScopedEnv.h"
#include "preferences/OptionStore.h"
#include "preferences/SharedDataFolder.h"

#include <cmath>
#include <limits>

using namespace brelmont::preferences;

TEST(OptionCommands, ASideUnderOneUnitClearsThePaperSize) {
    for (const auto& [width, height] : std::initializer_list<std::pair<double, double>>{
             {0.5, 11}, {11, 0.99}, {-0.5, 11}, {std::nan(""), 11}, {std::numeric_limits<double>::infinity(), 11}})
        EXPECT_EQ(commands::setCustomPaperSize("Q", width, height, UnitInches), "lpoptions -p Q -r media -r PageSize") << width;
    EXPECT_EQ(commands::setCustomPaperSize("Q", 1, 1.5, UnitInches),
              "lpoptions -p Q -o media=Custom.1.0x1.5in -o PageSize=Custom.1.0x1.5in");
    EXPECT_EQ(sizeText(0.1 + 0.2), "0.30000000000000004"); // read back as the same number
    EXPECT_EQ(sizeText(1e21), "1000000000000000000000.0");
}

// What lpoptions's own option parser must see quoted (the shell quoting comes on top).
TEST(OptionCommands, ValuesWithBlanksAreQuotedForLpoptions) {
    EXPECT_EQ(lpoptionsValue("/tmp/a b"), "'/tmp/a b'");
    EXPECT_EQ(lpoptionsValue("it's \\"), "'it\\'s \\\\'");
    EXPECT_EQ(lpoptionsValue("{x}"), "'{x}'");
    EXPECT_EQ(lpoptionsValue("$(x);`y`"), "$(x);`y`"); // only the shell cares about these
}

TEST(SharedDataFolder, DefaultAndOverride) {
    brelmont::testing::ScopedEnv empty("BRELMONT_SHARED_DIR", "");
    EXPECT_EQ(sharedDataFolder(), "/Users/Shared/Brelmont");
    brelmont::testing::ScopedEnv elsewhere("BRELMONT_SHARED_DIR", "/tmp/elsewhere");
    EXPECT_EQ(mirrorFilePath("Q", sharedDataFolder()), "/tmp/elsewhere/.lpoptions/Q.lpoptions");
}
