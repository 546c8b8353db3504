// The option listing parser and the assignment reader, line by line and on hostile input.
#include <gtest/gtest.h>

#include "preferences/OptionListing.h"

#include <random>
#include <string>
#include <vector>

using namespace brelmont::preferences;

namespace {

using Values = std::vector<std::string>;

struct ListingCase {
    const char* name;
    std::string line;
    bool kept;
    std::string key;
    std::string label;
    Values values;
    int64_t selected;
};

const ListingCase ListingCases[] = {
    {"duplex", "Duplex/Double-Sided: *None DuplexNoTumble", true, "Duplex", "Double-Sided", {"None", "DuplexNoTumble"}, 0},
    {"no star", "Duplex/Double-Sided: None DuplexNoTumble", true, "Duplex", "Double-Sided", {"None", "DuplexNoTumble"}, -1},
    {"star later", "PrintMode/Print Mode: 0 *1 2 3", true, "PrintMode", "Print Mode", {"0", "1", "2", "3"}, 1},
    {"first star wins", "K/L: a *b *c", true, "K", "L", {"a", "b", "*c"}, 1},
    {"label blanks trimmed", "K/  Media Size  : *Letter", true, "K", "Media Size", {"Letter"}, 0},
    {"custom size choice", "PageSize/Media Size: Custom.WIDTHxHEIGHT *Letter A4", true, "PageSize", "Media Size",
     {"Custom.WIDTHxHEIGHT", "Letter", "A4"}, 1},
    {"starred custom keeps inner dots", "PageSize/Media Size: Letter *Custom.8.5x11in", true, "PageSize",
     "Media Size", {"Letter", "Custom.8.5x11in"}, 1},
    {"punctuation trimmed both ends", "K/L: *(x). y", true, "K", "L", {"x", "y"}, 0},
    {"symbols are not punctuation", "K/L: *$x+ y", true, "K", "L", {"$x+", "y"}, 0},
    {"star alone becomes empty", "K/L: * y", true, "K", "L", {"", "y"}, 0},
    {"carriage return trimmed", "K/L: *a b\r", true, "K", "L", {"a", "b"}, 0},
    {"double blank gives an empty value", "K/L: a  b", true, "K", "L", {"a", "", "b"}, -1},
    {"choices cut at a second colon", "K/L: a b:c d", true, "K", "L", {"a", "b"}, -1},
    {"empty pieces between colons dropped", "K/L:: *a b", true, "K", "L", {"a", "b"}, 0},
    {"label up to a second slash", "K/L/M: a", true, "K", "L", {"a"}, -1},
    {"empty label", "K/: a", true, "K", "", {"a"}, -1},
    {"no choices", "K/L:", true, "K", "L", {}, -1},
    {"blank choices", "K/L:   ", true, "K", "L", {}, -1},
    {"no colon", "K/L *a b", false, "", "", {}, 0},
    {"no slash in head", "Key: *a b", false, "", "", {}, 0},
    {"slash only after colon", "Key: a/b", false, "", "", {}, 0},
    {"colons only", ":::", false, "", "", {}, 0},
    {"slash in choices only", ":a/b", true, "a", "b", {}, -1},
};

class ListingLine : public ::testing::TestWithParam<ListingCase> {};

TEST_P(ListingLine, GivesTheOption) {
    const ListingCase& c = GetParam();
    const std::vector<PrintOption> options = parseOptionListing(c.line);
    if (!c.kept) {
        EXPECT_TRUE(options.empty());
        return;
    }
    ASSERT_EQ(options.size(), 1u);
    EXPECT_EQ(options[0].key, c.key);
    EXPECT_EQ(options[0].label, c.label);
    EXPECT_EQ(options[0].values, c.values);
    EXPECT_EQ(options[0].selected, c.selected);
}

std::string caseName(const ::testing::TestParamInfo<ListingCase>& info) {
    std::string name;
    for (const char* p = info.param.name; *p; ++p) name += std::isalnum(static_cast<unsigned char>(*p)) ? *p : '_';
    return name;
}

INSTANTIATE_TEST_SUITE_P(Lines, ListingLine, ::testing::ValuesIn(ListingCases), caseName);

TEST(OptionListing, KeepsOutputOrderAndDropsEmptyLines) {
    const auto options = parseOptionListing("\n\nA/a: *x\n\nB/b: y *z\nbroken\nC/c: q\n");
    ASSERT_EQ(options.size(), 3u);
    EXPECT_EQ(options[0].key, "A");
    EXPECT_EQ(options[1].key, "B");
    EXPECT_EQ(options[1].selected, 1);
    EXPECT_EQ(options[2].key, "C");
}

TEST(OptionListing, EmptyOutputGivesNoOptions) {
    EXPECT_TRUE(parseOptionListing("").empty());
    EXPECT_TRUE(parseOptionListing("\n\n\n").empty());
}

TEST(OptionListing, OddBytesAreKeptAsTheyAre) {
    const std::string line = std::string("K\x01/L\xff: *\x80v w\0x", 14);
    const auto options = parseOptionListing(line);
    ASSERT_EQ(options.size(), 1u);
    EXPECT_EQ(options[0].key, "K\x01");
    EXPECT_EQ(options[0].values[0], "\x80v");
    EXPECT_EQ(options[0].values[1], std::string("w\0x", 3));
}

// Random bytes drawn from the characters the parser looks at: every input ends in a list, and
// every selected index points into its values.
TEST(OptionListing, AnyInputIsSafe) {
    std::mt19937 random(12345);
    const std::string alphabet = ":/* \n\r\t.ab*-'\"\\";
    for (int round = 0; round < 20000; ++round) {
        std::string text(random() % 40, ' ');
        for (char& c : text) c = random() % 8 == 0 ? static_cast<char>(random()) : alphabet[random() % alphabet.size()];
        for (const PrintOption& option : parseOptionListing(text)) {
            EXPECT_GE(option.selected, -1);
            EXPECT_LT(option.selected, static_cast<int64_t>(option.values.size()));
        }
        for (const char* key : {"collate=", "media=", "karro-outputpath="}) (void)assignmentValue(text, key);
        (void)applicationOptions(text);
    }
}

struct ValueCase {
    const char* name;
    std::string text;
    std::string key;
    std::string value;
};

const ValueCase ValueCases[] = {
    {"plain", "collate=false media=A4", "collate=", "false"},
    {"last", "media=A4 collate=false", "collate=", "false"},
    {"absent", "media=A4", "collate=", ""},
    {"quoted with blanks", "karro-outputpath='/tmp/a b' x=y", "karro-outputpath=", "/tmp/a b"},
    {"quote inside a quoted value", "k='a b'c' x=y", "k=", "a b'c"},
    {"backslash kept", "k='a b\\c' x=y", "k=", "a b\\c"},
    {"quoted value before line end", "k='a b'\n", "k=", "a b"},
    {"quoted value at the end", "x=1 k='a b'", "k=", "a b"},
    {"unterminated quote", "k='abc", "k=", "'abc"},
    {"unterminated quote with blank", "k='a b", "k=", "'a"},
    {"lone quote", "k='", "k=", "'"},
    {"backslash at end", "k='a\\", "k=", "'a\\"},
    {"quotes without a blank belong to the value", "k='v' x=1", "k=", "'v'"},
    {"apostrophe in an unquoted value", "k=it's x=1", "k=", "it's"},
    // lpoptions prints the values "a' b" and "'a'" alike; the shorter reading wins.
    {"quote before a blank inside the value", "k='a' b' x=1", "k=", "'a'"},
    {"quotes in a quoted value", "k='a 'b'' x=1", "k=", "a 'b'"},
    {"quoted value stops at the first word end", "k='a b' x='c d'", "k=", "a b"},
    {"tab counts as a blank inside quotes", "k='a\tb' x=1", "k=", "a\tb"},
    {"key inside another value", "o='-o k=v' k=w", "k=", "w"},
    {"key inside another value only", "o='-o k=v' p=1", "k=", ""},
    {"key inside an unquoted value", "o=k=v", "k=", ""},
    {"longer name not matched", "nok=1 k=2", "k=", "2"},
    {"repeated first letter", "kk=1 kk=2", "k=", ""},
    {"word without value skipped", "printer-location k=3", "k=", "3"},
    {"first of two", "k=1 k=2", "k=", "1"},
    {"name planted in a quoted value", "printer-info='Lab printer-make-and-model=Quorrin' printer-make-and-model='Acme X'",
     "printer-make-and-model=", "Acme X"},
    {"key at end", "x=1 k=", "k=", ""},
    {"empty text", "", "k=", ""},
    {"empty key", "k=v", "", ""},
    {"line end kept in unquoted value", "k=v\n", "k=", "v\n"},
};

class AssignmentValue : public ::testing::TestWithParam<ValueCase> {};

TEST_P(AssignmentValue, IsExtracted) {
    EXPECT_EQ(assignmentValue(GetParam().text, GetParam().key), GetParam().value);
}

std::string valueCaseName(const ::testing::TestParamInfo<ValueCase>& info) {
    std::string name;
    for (const char* p = info.param.name; *p; ++p) name += std::isalnum(static_cast<unsigned char>(*p)) ? *p : '_';
    return name;
}

INSTANTIATE_TEST_SUITE_P(Texts, AssignmentValue, ::testing::ValuesIn(ValueCases), valueCaseName);

std::vector<std::string> keysOf(const std::vector<PrintOption>& options) {
    std::vector<std::string> keys;
    for (const PrintOption& o : options) keys.push_back(o.key);
    return keys;
}

TEST(ApplicationOptions, DefaultsWhenNothingIsAssigned) {
    const auto options = applicationOptions("");
    EXPECT_EQ(keysOf(options), (Values{"collate", "karro-preview", "karro-contrast", "karro-brightness",
                                       "karro-patternfile", "karro-outputpath"}));
    EXPECT_EQ(options[0], (PrintOption{{"true"}, "Collate", "collate", 0}));
    EXPECT_EQ(options[1], (PrintOption{{"false"}, "Preview", "karro-preview", 0}));
    EXPECT_EQ(options[2], (PrintOption{{"0"}, "Contrast", "karro-contrast", 0}));
    EXPECT_EQ(options[3], (PrintOption{{"0"}, "Brightness", "karro-brightness", 0}));
    EXPECT_EQ(options[4], (PrintOption{{""}, "Pattern File", "karro-patternfile", 0}));
    EXPECT_EQ(options[5], (PrintOption{{""}, "OutputPath", "karro-outputpath", 0}));
}

TEST(ApplicationOptions, AssignedValuesAreTaken) {
    const auto options = applicationOptions(
        "collate=false copies=1 karro-brightness=-7 karro-contrast=12 karro-outputpath='/tmp/out dir/' "
        "karro-patternfile=/p/x.pat karro-preview=true media=Custom.8.5x11in printer-info=X\n");
    EXPECT_EQ(keysOf(options), (Values{"collate", "karro-preview", "media", "karro-contrast", "karro-brightness",
                                       "karro-patternfile", "karro-outputpath"}));
    EXPECT_EQ(options[0].values, Values{"false"});
    EXPECT_EQ(options[1].values, Values{"true"});
    EXPECT_EQ(options[2], (PrintOption{{"Custom.8.5x11in"}, "media", "media", 0}));
    EXPECT_EQ(options[3].values, Values{"12"});
    EXPECT_EQ(options[4].values, Values{"-7"});
    EXPECT_EQ(options[5].values, Values{"/p/x.pat"});
    EXPECT_EQ(options[6].values, Values{"/tmp/out dir/"});
}

TEST(ApplicationOptions, StandardMediaAddsNoOption) {
    EXPECT_EQ(findOption(applicationOptions("media=Letter"), "media").selected, -1);
    EXPECT_EQ(findOption(applicationOptions("media=custom.1x2"), "media").selected, -1);
}

TEST(ApplicationOptions, LastValueBeforeLineEndIsTrimmedButTheOutputPathIsNot) {
    const auto trimmed = applicationOptions("media=Custom.1x2in\n");
    EXPECT_EQ(findOption(trimmed, "media").values, Values{"Custom.1x2in"});
    EXPECT_EQ(findOption(applicationOptions("karro-patternfile=/a\n"), "karro-patternfile").values, Values{"/a"});
    EXPECT_EQ(findOption(applicationOptions("karro-outputpath=/a\n"), "karro-outputpath").values, Values{"/a\n"});
    EXPECT_EQ(findOption(applicationOptions("collate=false\r\n"), "collate").values, Values{"false"});
}

struct IntegerCase {
    std::string assigned;
    std::string shown;
};

class ContrastValue : public ::testing::TestWithParam<IntegerCase> {};

TEST_P(ContrastValue, IsReadAsADecimalInteger) {
    const auto options = applicationOptions("karro-contrast=" + GetParam().assigned + " karro-brightness=" +
                                            GetParam().assigned);
    EXPECT_EQ(findOption(options, "karro-contrast").values, Values{GetParam().shown});
    EXPECT_EQ(findOption(options, "karro-brightness").values, Values{GetParam().shown});
}

INSTANTIATE_TEST_SUITE_P(
    Texts, ContrastValue,
    ::testing::Values(IntegerCase{"abc", "0"}, IntegerCase{"12", "12"}, IntegerCase{"-3", "-3"},
                      IntegerCase{"+4", "4"}, IntegerCase{"007", "7"}, IntegerCase{"12abc", "0"},
                      IntegerCase{"1.5", "0"}, IntegerCase{"-", "0"}, IntegerCase{"+", "0"},
                      IntegerCase{"+-1", "0"}, IntegerCase{"9223372036854775807", "9223372036854775807"},
                      IntegerCase{"9223372036854775808", "0"}, IntegerCase{"'  5 '", "5"}, IntegerCase{"0x10", "0"}));

TEST(OptionList, ListingFirstThenApplicationOptions) {
    const auto options = buildOptionList("Duplex/Double-Sided: *None DuplexNoTumble\n", "collate=false");
    ASSERT_EQ(options.size(), 7u);
    EXPECT_EQ(options[0].key, "Duplex");
    EXPECT_EQ(options[1].key, "collate");
    EXPECT_EQ(options[1].values, Values{"false"});
}

TEST(OptionList, FailedCommandsGiveTheDefaults) {
    const auto options = buildOptionList("", "");
    ASSERT_EQ(options.size(), 6u);
    EXPECT_EQ(options[0].values, Values{"true"});
}

TEST(OptionList, LookupByKey) {
    const auto options = buildOptionList("A/a: *x\nA/second: y\n", "");
    EXPECT_EQ(findOption(options, "A").label, "a");
    EXPECT_EQ(findOption(options, "collate").values, Values{"true"});
    EXPECT_EQ(findOption(options, "missing"), PrintOption{});
    EXPECT_EQ(findOption(options, "missing").selected, -1);
}

} // namespace
