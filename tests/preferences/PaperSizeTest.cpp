// Custom sizes and the unit conversion of the custom fields; the option store's own rules for the
// sizes it writes (the lines themselves are pinned where the preferences form makes them; its
// quoting of values is pinned end to end by the store's hostile value against CUPS, as is where
// its mirror files go). The custom size moved last shows in the form's tests.
#include <gtest/gtest.h>

#include "preferences/OptionStore.h"
#include "preferences/PaperSize.h"

#include <cmath>
#include <limits>

using namespace brelmont::preferences;

// The custom size line written for each unit, and the same size read back from its value.
TEST(CustomSize, RoundTripInEachUnit) {
    for (const auto& [size, value] :
         std::initializer_list<std::pair<CustomSize, std::string>>{{{8.5, 11, UnitInches}, "Custom.8.5x11.0in"},
                                                                   {{210, 297, UnitMillimetres}, "Custom.210.0x297.0mm"},
                                                                   {{21, 29.7, UnitCentimetres}, "Custom.21.0x29.7cm"},
                                                                   {{612, 792, UnitPoints}, "Custom.612.0x792.0"}}) {
        EXPECT_EQ(commands::setCustomPaperSize("Q", size.width, size.height, size.units),
                  "lpoptions -p Q -o media=" + value + " -o PageSize=" + value);
        EXPECT_EQ(parseCustomSize(value), size) << value;
    }
    EXPECT_EQ(parseCustomSize("custom.612x792"), (CustomSize{612, 792, UnitPoints}));
    EXPECT_EQ(parseCustomSize("Custom.WIDTHxHEIGHT"), (CustomSize{0, 0, UnitPoints}));
    for (const char* bad : {"Custom.8.5", "Custom.1x2x3", "Letter"}) EXPECT_EQ(parseCustomSize(bad), std::nullopt) << bad;
}

// Conversions go through whole even twentieths of an inch (210 mm: 165.35, so 166; 8.45 in: 169,
// so 170).
TEST(UnitConversion, GoesThroughEvenTwentieths) {
    // clang-format off
    for (const auto& [value, from, to, shown] : std::initializer_list<std::tuple<double, int, int, const char*>>{
             {8.5, UnitInches, UnitMillimetres, "215.9"}, {11, UnitInches, UnitCentimetres, "27.94"}, {8.5, UnitInches, UnitPoints, "612.0"},
             {0, UnitInches, UnitMillimetres, "0.0"}, {210, UnitMillimetres, UnitInches, "8.3"}, {8.45, UnitInches, UnitInches, "8.5"}})
        EXPECT_EQ(fieldText(convertUnits(value, from, to)), shown) << value << " " << from << " " << to;
    // clang-format on
    EXPECT_EQ(fieldText(std::numeric_limits<double>::quiet_NaN()), "0.0");
    EXPECT_EQ(std::tuple(leadingDecimal(" 11in"), leadingDecimal("-2.5x"), leadingDecimal(".5"), leadingDecimal("abc")),
              std::tuple(11, -2.5, 0.5, 0));
    EXPECT_EQ(std::tuple(leadingInteger("12abc"), leadingInteger("-7"), leadingInteger("99999999999999999999")),
              std::tuple(12, -7, 0));
}

TEST(OptionCommands, ASideUnderOneUnitClearsThePaperSize) {
    for (const auto& [width, height] : std::initializer_list<std::pair<double, double>>{
             {0.5, 11}, {11, 0.99}, {-0.5, 11}, {std::nan(""), 11}, {std::numeric_limits<double>::infinity(), 11}})
        EXPECT_EQ(commands::setCustomPaperSize("Q", width, height, UnitInches), "lpoptions -p Q -r media -r PageSize") << width;
    EXPECT_EQ(commands::setCustomPaperSize("Q", 1, 1.5, UnitInches),
              "lpoptions -p Q -o media=Custom.1.0x1.5in -o PageSize=Custom.1.0x1.5in");
    EXPECT_EQ(sizeText(0.1 + 0.2), "0.30000000000000004"); // read back as the same number
    EXPECT_EQ(sizeText(1e21), "1000000000000000000000.0");
}
