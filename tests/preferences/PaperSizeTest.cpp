// Display names, the standard sizes, custom sizes and the unit conversion of the custom fields.
#include <gtest/gtest.h>

#include "preferences/DisplayNames.h"
#include "preferences/OptionStore.h"
#include "preferences/PaperSize.h"

using namespace brelmont::preferences;

namespace {

struct NameCase {
    const char* key;
    const char* value;
    const char* shown;
};

class DisplayNameOf : public ::testing::TestWithParam<NameCase> {};

TEST_P(DisplayNameOf, Value) { EXPECT_EQ(displayName(GetParam().key, GetParam().value), GetParam().shown); }

INSTANTIATE_TEST_SUITE_P(
    Table, DisplayNameOf,
    ::testing::Values(NameCase{"PageSize", "115X11", "11.5 x 11 in"},
                      NameCase{"PageSize", "115x115", "11.5 x 11 in (Office 2010)"},
                      NameCase{"PageSize", "11X14", "11 x 14 in"}, NameCase{"PageSize", "A4Tractor", "German Std Fanfold"},
                      NameCase{"PageSize", "1378X11", "13 7/8 x 11 in"}, NameCase{"PageSize", "16x22", "16 x 22 in"},
                      NameCase{"PageSize", "16X50", "16 x 50 in"}, NameCase{"PageSize", "Auto", "Automatic Select"},
                      NameCase{"PageSize", "Custom.WIDTHxHEIGHT", "Custom Size"},
                      NameCase{"PageSize", "custom.8.5x11in", "Custom Size"}, NameCase{"PageSize", "Letter", "Letter"},
                      NameCase{"MediaType", "_Custom", "Custom Media Type"},
                      NameCase{"MediaType", "CUSTOM", "Custom Media Type"},
                      NameCase{"MediaType", "CustomMedia", "Custom Media Type"},
                      NameCase{"MediaType", "CustomMedia8", "Custom Defined 8"},
                      NameCase{"MediaType", "custommedia16", "Custom Defined 16"},
                      NameCase{"MediaType", "CustomMedia7", "CustomMedia7"},
                      NameCase{"MediaType", "CustomMedia17", "CustomMedia17"},
                      NameCase{"MediaType", "CustomMedia08", "CustomMedia08"},
                      NameCase{"MediaType", "Default", "Printer Setting"}, NameCase{"MediaType", "Plain", "Plain"},
                      NameCase{"BrailleSpacing", "Congress", "American Library of Congress"},
                      NameCase{"BrailleSpacing", "congress", "congress"},
                      NameCase{"BrailleSpacing", "National", "National Library Service for the Blind"},
                      NameCase{"BrailleSpacing", "Microbraille", "Japanese Standard (Microbraille)"},
                      NameCase{"BrailleSpacing", "Korean", "Korean Standard"},
                      NameCase{"BrailleSpacing", "Jumbo", "Jumbobraille"},
                      // A name belongs to its option only.
                      NameCase{"MediaType", "Auto", "Auto"}, NameCase{"Duplex", "Congress", "Congress"}));

TEST(StandardPaperSize, TableAndAnyOther) {
    EXPECT_EQ(standardPaperSize("Letter"), (StandardPaperSize{"8.5", "11.0", UnitInches}));
    EXPECT_EQ(standardPaperSize("Executive"), (StandardPaperSize{"7.25", "10.5", UnitInches}));
    EXPECT_EQ(standardPaperSize("A3"), (StandardPaperSize{"29.7", "42.0", UnitCentimetres}));
    EXPECT_EQ(standardPaperSize("B4"), (StandardPaperSize{"250", "353", UnitMillimetres}));
    EXPECT_EQ(standardPaperSize("A4Tractor"), (StandardPaperSize{"21.0", "30.48", UnitCentimetres}));
    EXPECT_EQ(standardPaperSize("115X115"), (StandardPaperSize{"11.5", "11.5", UnitInches}));
    EXPECT_EQ(standardPaperSize("letter"), (StandardPaperSize{"0.0", "0.0", UnitPoints}));
    EXPECT_EQ(standardPaperSize("Custom.WIDTHxHEIGHT"), (StandardPaperSize{"0.0", "0.0", UnitPoints}));
}

TEST(CustomSize, ParsedFromTheValue) {
    EXPECT_EQ(parseCustomSize("Custom.8.5x11.0in"), (CustomSize{8.5, 11, UnitInches}));
    EXPECT_EQ(parseCustomSize("Custom.21.0x29.7cm"), (CustomSize{21, 29.7, UnitCentimetres}));
    EXPECT_EQ(parseCustomSize("Custom.210.0x297.0mm"), (CustomSize{210, 297, UnitMillimetres}));
    EXPECT_EQ(parseCustomSize("Custom.612.0x792.0"), (CustomSize{612, 792, UnitPoints}));
    EXPECT_EQ(parseCustomSize("custom.612x792"), (CustomSize{612, 792, UnitPoints}));
    EXPECT_EQ(parseCustomSize("Custom.WIDTHxHEIGHT"), (CustomSize{0, 0, UnitPoints}));
    EXPECT_EQ(parseCustomSize("Custom.8.5"), std::nullopt);
    EXPECT_EQ(parseCustomSize("Custom.1x2x3"), std::nullopt);
    EXPECT_EQ(parseCustomSize("Letter"), std::nullopt);
}

struct Conversion {
    double value;
    int from, to;
    const char* shown;
};

class UnitConversion : public ::testing::TestWithParam<Conversion> {};

TEST_P(UnitConversion, GoesThroughEvenTwentieths) {
    EXPECT_EQ(fieldText(convertUnits(GetParam().value, GetParam().from, GetParam().to)), GetParam().shown);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, UnitConversion,
    ::testing::Values(Conversion{8.5, UnitInches, UnitMillimetres, "215.9"},
                      Conversion{11, UnitInches, UnitCentimetres, "27.94"},
                      Conversion{8.5, UnitInches, UnitPoints, "612.0"},
                      Conversion{8.5, UnitInches, UnitInches, "8.5"},
                      // 210 mm is 165.35 twentieths: 165 + 1 = 166, even, so 8.3 in.
                      Conversion{210, UnitMillimetres, UnitInches, "8.3"},
                      // 297 mm is 233.86 twentieths: 233 + 1 = 234, so 11.7 in.
                      Conversion{297, UnitMillimetres, UnitInches, "11.7"},
                      // 8.45 in is 169 twentieths: 170, so 8.5 in.
                      Conversion{8.45, UnitInches, UnitInches, "8.5"},
                      Conversion{612, UnitPoints, UnitInches, "8.5"},
                      Conversion{0, UnitInches, UnitMillimetres, "0.0"}));

TEST(FieldText, ShortestWithAFraction) {
    EXPECT_EQ(fieldText(11), "11.0");
    EXPECT_EQ(fieldText(8.5 * 25.4), "215.9");
    EXPECT_EQ(fieldText(0.1 + 0.2), "0.3");
    EXPECT_EQ(fieldText(std::numeric_limits<double>::quiet_NaN()), "0.0");
}

TEST(LeadingNumbers, AsTheFieldsAreRead) {
    EXPECT_EQ(leadingDecimal("8.5"), 8.5);
    EXPECT_EQ(leadingDecimal(" 11in"), 11);
    EXPECT_EQ(leadingDecimal("-2.5x"), -2.5);
    EXPECT_EQ(leadingDecimal(".5"), 0.5);
    EXPECT_EQ(leadingDecimal("abc"), 0);
    EXPECT_EQ(leadingDecimal(""), 0);
    EXPECT_EQ(leadingInteger("12abc"), 12);
    EXPECT_EQ(leadingInteger("-7"), -7);
    EXPECT_EQ(leadingInteger("abc"), 0);
    EXPECT_EQ(leadingInteger("99999999999999999999"), 0);
}

TEST(CustomSizeLast, MovedToTheEndWithTheSelection) {
    const PrintOption first{{"Custom.WIDTHxHEIGHT", "Letter", "A4"}, "Media Size", "PageSize", 0};
    EXPECT_EQ(withCustomSizeLast(first),
              (PrintOption{{"Letter", "A4", "Custom.WIDTHxHEIGHT"}, "Media Size", "PageSize", 2}));
    PrintOption standardChosen = first;
    standardChosen.selected = 2;
    EXPECT_EQ(withCustomSizeLast(standardChosen).selected, 1);
    standardChosen.selected = -1;
    EXPECT_EQ(withCustomSizeLast(standardChosen).selected, -1);

    const PrintOption last{{"Letter", "custom.WIDTHxHEIGHT"}, "Media Size", "PageSize", 0};
    EXPECT_EQ(withCustomSizeLast(last), last);
    const PrintOption none{{"Letter", "A4"}, "Media Size", "PageSize", 1};
    EXPECT_EQ(withCustomSizeLast(none), none);
    EXPECT_EQ(customEntryIndex(withCustomSizeLast(first)), 2);
    EXPECT_EQ(customEntryIndex(none), -1);
    EXPECT_EQ(customEntryIndex(PrintOption{}), -1);
}

} // namespace
