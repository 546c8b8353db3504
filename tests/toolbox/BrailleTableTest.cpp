// The braille table file reader, the table files that come with the program, and the download
// request built from a table.
#include "printer/PjlReplies.h"
#include "toolbox/BrailleConversionData.h"
#include "toolbox/TableFolder.h"

#include "ScratchDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <map>

using brelmont::toolbox::BrailleConversionData;
using brelmont::toolbox::BrailleTable;

namespace {

BrailleConversionData built(const std::string& text) {
    BrailleConversionData data;
    data.build({text.begin(), text.end()});
    return data;
}

TEST(BrailleTable, LinesBecomeCells) {
    struct Case {
        const char* what;
        std::string file;
        std::map<int, uint8_t> cells; // every other cell is blank
    };
    const Case cases[] = {
        {"dot digits and positions", "65 [1]\n66 [12]\n67 [*]\n68 [*-*]\n69 [8]\n", {{65, 0x01}, {66, 0x03}, {67, 0x01}, {68, 0x03}, {69, 0x80}}},
        {"positions past dot 8 set nothing", "1 [-------*]\n2 [--------*]\n", {{1, 0x80}}},
        {"0, 9 and other characters are passed over", "72 [1 0 9x4]\n", {{72, 0x09}}},
        {"comments and lines without both brackets", "# 65 [1]\n66 12]\n67 [12\n 68 [2] # not a comment\n", {{68, 0x02}}},
        {"the cell ends at the first closing bracket", "70 [1]2]\n", {{70, 0x01}}},
        {"a later line replaces an earlier one; carriage returns dropped", "71 [1]\r\n71 [2\r]\r\n", {{71, 0x02}}},
        {"the code is the first run of digits, 0 without one", "dots [3] of x\n[-*] zero\n", {{3, 0x04}, {0, 0x02}}},
        {"code 255 is the last", "255 [12345678]", {{255, 0xff}}},
        {"comments only", "# nothing\n#65 [1]\n", {}},
        {"nothing at all", "", {}},
    };
    for (const Case& c : cases) {
        const BrailleConversionData data = built(c.file);
        EXPECT_EQ(data.failure(), "") << c.what;
        BrailleTable expected{};
        for (const auto& [code, cell] : c.cells) expected[size_t(code)] = cell;
        EXPECT_EQ(data.table(), expected) << c.what;
    }
}

// A code the table has no cell for refuses the whole file, naming the line: leaving the line out
// would give the embosser a table other than the file's.
TEST(BrailleTable, ACodeAbove255RefusesTheFileNamingItsLine) {
    struct Case { std::string file; int line; std::string failure; };
    const Case cases[] = {
        {"65 [1]\n# 300 [1] in a comment\n256 [1]\n66 [2]\n", 3, "line 3: the character code 256 is above 255"},
        {"99999999999999999999999 [1]", 1, "line 1: the character code given is above 255"},
    };
    for (const Case& c : cases) {
        BrailleConversionData data;
        EXPECT_EQ(data.build({c.file.begin(), c.file.end()}), BrailleConversionData::CodeTooLarge);
        EXPECT_EQ(data.failedLine(), c.line);
        EXPECT_EQ(data.failure(), c.failure);
        EXPECT_EQ(data.table(), BrailleTable{});
    }
}

TEST(BrailleTable, FilesThatCannotBeReadAreRefused) {
    const brelmont::testing::ScratchDir scratch("tables");
    std::ofstream(scratch.path() / "big.txt") << std::string(BrailleConversionData::MaxFileBytes + 1, '#');
    for (const auto& path : {scratch.path() / "missing.txt", scratch.path(), scratch.path() / "big.txt"}) {
        BrailleConversionData data;
        EXPECT_EQ(data.readFile(path), BrailleConversionData::Unreadable) << path;
        EXPECT_FALSE(data.failure().empty()) << path;
    }
}

// The tables that come with the program, as the build puts them beside the programs.
TEST(BrailleTable, TheTablesOfTheProgramRead) {
    const auto folder = brelmont::toolbox::installedTableFolder();
    ASSERT_FALSE(folder.empty());
    BrailleConversionData eight, six;
    ASSERT_EQ(eight.readFile(folder / "computer-braille-8-dot.txt"), BrailleConversionData::Done) << eight.failure();
    ASSERT_EQ(six.readFile(folder / "letters-and-digits-6-dot.txt"), BrailleConversionData::Done) << six.failure();
    // Capitals and "@" to "_" carry dot 7, small letters and "`" to "~" do not; digits are lowered.
    const std::map<char, uint8_t> computer = {{'A', 0x41}, {'a', 0x01}, {'@', 0x48}, {'`', 0x08}, {'_', 0x78},
                                              {'~', 0x18}, {'1', 0x02}, {'0', 0x34}, {' ', 0x00}, {'=', 0x3f}};
    for (const auto& [c, cell] : computer) EXPECT_EQ(eight.table()[uint8_t(c)], cell) << c;
    EXPECT_EQ(std::count(eight.table().begin(), eight.table().end(), 0), 256 - 94); // 33 to 126 only
    for (const auto& [c, cell] : std::map<char, uint8_t>{{'A', 0x01}, {'a', 0x01}, {'z', 0x35}, {'0', 0x34}, {'!', 0}})
        EXPECT_EQ(six.table()[uint8_t(c)], cell) << c;
}

TEST(BrailleTable, TheDownloadNamesTheSlotTwiceBeforeTheCells) {
    BrailleTable table{};
    table[65] = 0x41;
    const auto zero = brelmont::printer::pjl::tableDownloadRequest(0, table);
    const std::string head = "\x1b%-12345X@PJL DEFAULT TABLE=0\n@PJL FSDOWNLOAD SIZE=256 NAME=\"BRAILLETABLE0\"\n";
    ASSERT_EQ(head.size(), 76u);
    ASSERT_EQ(zero.size(), 332u);
    EXPECT_EQ(std::string(zero.begin(), zero.begin() + 76), head);
    EXPECT_TRUE(std::equal(table.begin(), table.end(), zero.begin() + 76));
    const auto three = brelmont::printer::pjl::tableDownloadRequest(3, table);
    EXPECT_EQ(std::string(three.begin(), three.end() - 256),
              "\x1b%-12345X@PJL DEFAULT TABLE=3\n@PJL FSDOWNLOAD SIZE=256 NAME=\"BRAILLETABLE3\"\n");
}

} // namespace
