// The option listing parser and the assignment reader (the fuzz target covers any input).
#include <gtest/gtest.h>

#include "preferences/OptionListing.h"

#include <string>
#include <vector>

using namespace brelmont::preferences;
using Values = std::vector<std::string>;

// One option from one listing line; a line that gives none has an empty key here.
TEST(OptionListing, EachLineGivesItsOption) {
    // clang-format off
    const struct { const char* name; std::string line; PrintOption option; } cases[] = {
        {"first star wins", "K/L: a *b *c", {{"a", "b", "*c"}, "L", "K", 1}},
        {"label blanks trimmed", "K/  Media Size  : *Letter", {{"Letter"}, "Media Size", "K", 0}},
        {"symbols are not punctuation", "K/L: *$x+ y", {{"$x+", "y"}, "L", "K", 0}},
        {"punctuation trimmed both ends", "K/L: *(x). y", {{"x", "y"}, "L", "K", 0}},
        {"no choices", "K/L:   ", {{}, "L", "K", -1}},
        {"odd bytes kept", std::string("K\x01/L\xff: *\x80v w\0x", 14), {{"\x80v", std::string("w\0x", 3)}, "L\xff", "K\x01", 0}},
        {"no colon", "K/L *a b", {}},
    };
    // clang-format on
    for (const auto& c : cases)
        EXPECT_EQ(parseOptionListing(c.line), c.option.key.empty() ? std::vector<PrintOption>{} : std::vector{c.option})
            << c.name;
    const auto several = parseOptionListing("\n\nA/a: *x\n\nB/b: y *z\nbroken\nC/c: q\n");
    EXPECT_EQ(several, (std::vector<PrintOption>{{{"x"}, "a", "A", 0}, {{"y", "z"}, "b", "B", 1}, {{"q"}, "c", "C", -1}}));
}

TEST(AssignmentValue, IsExtracted) {
    // clang-format off
    const struct { const char* name; std::string text, key, value; } cases[] = {
        {"plain", "collate=false media=A4", "collate=", "false"},
        {"absent", "media=A4", "collate=", ""},
        {"quoted with blanks", "karro-outputpath='/tmp/a b' x=y", "karro-outputpath=", "/tmp/a b"},
        {"quote inside a quoted value", "k='a b'c' x=y", "k=", "a b'c"},
        {"quotes without a blank belong to the value", "k='v' x=1", "k=", "'v'"},
        // lpoptions prints the values "a' b" and "'a'" alike; the shorter reading wins.
        {"quote before a blank inside the value", "k='a' b' x=1", "k=", "'a'"},
        {"quoted value stops at the first word end", "k='a b' x='c d'", "k=", "a b"},
        {"key inside another value", "o='-o k=v' k=w", "k=", "w"},
        {"longer name not matched", "nok=1 k=2", "k=", "2"},
    };
    // clang-format on
    for (const auto& c : cases) EXPECT_EQ(assignmentValue(c.text, c.key), c.value) << c.name;
}

// The application options in their fixed order; "media" only for a custom size; every value
// trimmed but the output path; contrast and brightness whole decimal numbers, else 0. (Their
// defaults are pinned by the lines OK writes for a queue without assignments.)
TEST(ApplicationOptions, FromTheAssignments) {
    const auto assigned = applicationOptions(
        "collate=false\r karro-brightness=-7 karro-contrast=12 karro-outputpath=/o\n "
        "karro-patternfile=/p/x.pat karro-preview=true media=Custom.8.5x11in\n");
    Values values;
    for (const PrintOption& option : assigned) values.push_back(option.key + "=" + option.values.at(0));
    EXPECT_EQ(values, (Values{"collate=false", "karro-preview=true", "media=Custom.8.5x11in", "karro-contrast=12",
                              "karro-brightness=-7", "karro-patternfile=/p/x.pat", "karro-outputpath=/o\n"}));
    EXPECT_EQ(findOption(applicationOptions("media=Letter"), "media"), PrintOption{});
    EXPECT_EQ(findOption(applicationOptions("media=custom.1x2"), "media"), PrintOption{});
    // clang-format off
    for (const auto& [assigned, shown] : std::initializer_list<std::pair<std::string, std::string>>{
             {"abc", "0"}, {"+4", "4"}, {"007", "7"}, {"12abc", "0"}, {"1.5", "0"}, {"-", "0"}, {"+-1", "0"}, {"'  5 '", "5"},
             {"9223372036854775807", "9223372036854775807"}, {"9223372036854775808", "0"}, {"0x10", "0"}}) {
        // clang-format on
        // Brightness is read by the same rule.
        EXPECT_EQ(findOption(applicationOptions("karro-contrast=" + assigned), "karro-contrast").values, Values{shown})
            << assigned;
    }
}
