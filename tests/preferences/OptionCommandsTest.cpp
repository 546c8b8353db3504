// The command lines of the option store: plain values give them byte for byte, any other value is
// quoted so that the shell and lpoptions's own option parser both keep it whole and literal.
#include <gtest/gtest.h>

#include "preferences/OptionStore.h"
#include "preferences/SharedDataFolder.h"

#include <cmath>
#include <cstdlib>
#include <limits>

using namespace brelmont::preferences;

namespace {

TEST(OptionCommands, PlainValuesGiveTheLinesAsTheyStand) {
    EXPECT_EQ(commands::listOptions("Orvin"), "lpoptions -p Orvin -l");
    EXPECT_EQ(commands::readAssignments("Orvin"), "lpoptions -p Orvin");
    EXPECT_EQ(commands::setOption("Orvin", "Duplex", "DuplexNoTumble"), "lpoptions -p Orvin -o Duplex=DuplexNoTumble");
    EXPECT_EQ(commands::setOption("Orvin", "karro-outputpath", ""), "lpoptions -p Orvin -o karro-outputpath=");
    EXPECT_EQ(commands::removeOption("Orvin", "collate"), "lpoptions -p Orvin -r collate");
    EXPECT_EQ(commands::setContrastAndBrightness("Orvin", -5, 12),
              "lpoptions -p Orvin -o karro-contrast=-5 -o karro-brightness=12");
    EXPECT_EQ(commands::setTwoOptions("Orvin", "ColorModel", "Color", "PrintMode", "2"),
              "lpoptions -p Orvin -o ColorModel=Color -o PrintMode=2");
    EXPECT_EQ(commands::clearPaperSize("Orvin"), "lpoptions -p Orvin -r media -r PageSize");
    EXPECT_EQ(commands::setStandardPaperSize("Orvin", "PageSize", "A4"), "lpoptions -p Orvin -r media -o PageSize=A4");
}

TEST(OptionCommands, CustomPaperSizeInEachUnit) {
    EXPECT_EQ(commands::setCustomPaperSize("Q", 8.5, 11, UnitInches),
              "lpoptions -p Q -o media=Custom.8.5x11.0in -o PageSize=Custom.8.5x11.0in");
    EXPECT_EQ(commands::setCustomPaperSize("Q", 210, 297, UnitMillimetres),
              "lpoptions -p Q -o media=Custom.210.0x297.0mm -o PageSize=Custom.210.0x297.0mm");
    EXPECT_EQ(commands::setCustomPaperSize("Q", 21, 29.7, UnitCentimetres),
              "lpoptions -p Q -o media=Custom.21.0x29.7cm -o PageSize=Custom.21.0x29.7cm");
    EXPECT_EQ(commands::setCustomPaperSize("Q", 612, 792, UnitPoints),
              "lpoptions -p Q -o media=Custom.612.0x792.0 -o PageSize=Custom.612.0x792.0");
}

TEST(OptionCommands, ASideUnderOneUnitClearsThePaperSize) {
    EXPECT_EQ(commands::setCustomPaperSize("Q", 0.5, 11, UnitInches), commands::clearPaperSize("Q"));
    EXPECT_EQ(commands::setCustomPaperSize("Q", 11, 0.99, UnitInches), commands::clearPaperSize("Q"));
    EXPECT_EQ(commands::setCustomPaperSize("Q", -0.5, 11, UnitInches), commands::clearPaperSize("Q"));
    EXPECT_EQ(commands::setCustomPaperSize("Q", std::nan(""), 11, UnitInches), commands::clearPaperSize("Q"));
    EXPECT_EQ(commands::setCustomPaperSize("Q", std::numeric_limits<double>::infinity(), 11, UnitInches),
              commands::clearPaperSize("Q"));
    EXPECT_EQ(commands::setCustomPaperSize("Q", 1, 1.5, UnitInches),
              "lpoptions -p Q -o media=Custom.1.0x1.5in -o PageSize=Custom.1.0x1.5in");
}

TEST(OptionCommands, SizeTextIsShortestWithAFraction) {
    EXPECT_EQ(sizeText(8.5), "8.5");
    EXPECT_EQ(sizeText(11), "11.0");
    EXPECT_EQ(sizeText(0.1 + 0.2), "0.30000000000000004");
    EXPECT_EQ(sizeText(215.9), "215.9");
    EXPECT_EQ(sizeText(-3), "-3.0");
    EXPECT_EQ(sizeText(1e21), "1000000000000000000000.0");
    EXPECT_EQ(std::stod(sizeText(1.0 / 3.0)), 1.0 / 3.0);
}

TEST(OptionCommands, UnitSuffixes) {
    EXPECT_EQ(unitSuffix(UnitPoints), "");
    EXPECT_EQ(unitSuffix(UnitMillimetres), "mm");
    EXPECT_EQ(unitSuffix(UnitCentimetres), "cm");
    EXPECT_EQ(unitSuffix(UnitInches), "in");
    EXPECT_EQ(unitSuffix(7), "");
    EXPECT_EQ(unitSuffix(-1), "");
}

TEST(OptionCommands, ValuesWithBlanksAreQuotedForLpoptionsAndTheShell) {
    EXPECT_EQ(lpoptionsValue("/tmp/a b"), "'/tmp/a b'");
    EXPECT_EQ(lpoptionsValue("it's \\"), "'it\\'s \\\\'");
    EXPECT_EQ(lpoptionsValue("{x}"), "'{x}'");
    EXPECT_EQ(lpoptionsValue("plain/path.pat"), "plain/path.pat");
    EXPECT_EQ(lpoptionsValue("$(x);`y`"), "$(x);`y`"); // only the shell cares about these
    EXPECT_EQ(commands::setOption("Q", "karro-outputpath", "/tmp/a b"),
              "lpoptions -p Q -o 'karro-outputpath='\\''/tmp/a b'\\'''");
    EXPECT_EQ(commands::setOption("Q", "karro-patternfile", "$(id);x"), "lpoptions -p Q -o 'karro-patternfile=$(id);x'");
}

TEST(OptionCommands, HostileQueueNamesAndKeysAreQuoted) {
    EXPECT_EQ(commands::listOptions("a;b"), "lpoptions -p 'a;b' -l");
    EXPECT_EQ(commands::removeOption("Q", "k`x`"), "lpoptions -p Q -r 'k`x`'");
    EXPECT_EQ(commands::setStandardPaperSize("Q", "PageSize", "A4 x"), "lpoptions -p Q -r media -o 'PageSize='\\''A4 x'\\'''");
}

TEST(SharedDataFolder, DefaultAndOverride) {
    const char* old = std::getenv("BRELMONT_SHARED_DIR");
    const std::string saved = old ? old : "";
    ::unsetenv("BRELMONT_SHARED_DIR");
    EXPECT_EQ(sharedDataFolder(), "/Users/Shared/Brelmont");
    ::setenv("BRELMONT_SHARED_DIR", "", 1);
    EXPECT_EQ(sharedDataFolder(), "/Users/Shared/Brelmont");
    ::setenv("BRELMONT_SHARED_DIR", "/tmp/elsewhere", 1);
    EXPECT_EQ(sharedDataFolder(), "/tmp/elsewhere");
    EXPECT_EQ(mirrorFilePath("Q", sharedDataFolder()), "/tmp/elsewhere/.lpoptions/Q.lpoptions");
    if (old) ::setenv("BRELMONT_SHARED_DIR", saved.c_str(), 1);
    else ::unsetenv("BRELMONT_SHARED_DIR");
}

} // namespace
