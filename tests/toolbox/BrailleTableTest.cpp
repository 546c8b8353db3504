// The braille table file reader and the table files that come with the program.
#include "toolbox/BrailleConversionData.h"
#include "toolbox/TableFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>

using brelmont::toolbox::BrailleConversionData;
using brelmont::toolbox::BrailleTable;

namespace {

// Every form of line, and a code no table has: the whole file is refused and its line named,
// since leaving the line out would give the embosser a table other than the file's.
TEST(BrailleTable, LinesBecomeCellsAndACodeAbove255RefusesTheFile) {
    // Each file, its cells (every other cell blank) and the line refused.
    // clang-format off
    const struct { std::string file; std::map<int, uint8_t> cells; int refusedLine = 0; } cases[] = {
        {"65 [1]\n66 [12]\n67 [*]\n68 [*-*]\n69 [8]\n1 [-------*]\n2 [--------*]\n",
         {{65, 0x01}, {66, 0x03}, {67, 0x01}, {68, 0x03}, {69, 0x80}, {1, 0x80}}},
        {"72 [1 0 9x4]2]\n# 65 [1]\n66 12]\n67 [12\n 68 [2] # no comment\n", {{72, 0x09}, {68, 0x02}}},
        {"71 [1]\r\n71 [2\r]\r\ndots [3] of x\n[-*] zero\n255 [12345678]", {{71, 0x02}, {3, 0x04}, {0, 0x02}, {255, 0xff}}},
        {"# nothing but comments\n", {}},
        {"65 [1]\n# 300 [1] in a comment\n256 [1]\n", {}, 3},
    };
    // clang-format on
    for (const auto& c : cases) {
        BrailleConversionData data;
        EXPECT_EQ(data.build({c.file.begin(), c.file.end()}),
                  c.refusedLine ? BrailleConversionData::CodeTooLarge : BrailleConversionData::Done)
            << c.file;
        EXPECT_EQ(data.failedLine(), c.refusedLine) << c.file;
        BrailleTable expected{};
        for (const auto& [code, cell] : c.cells) expected[size_t(code)] = cell;
        EXPECT_EQ(data.table(), expected) << c.file;
    }
}

// The tables that come with the program, where the build puts them beside the programs: capitals
// and "@" to "_" carry dot 7, small letters and "`" to "~" do not, digits are lowered cells.
TEST(BrailleTable, TheTablesOfTheProgramRead) {
    const auto folder = brelmont::toolbox::installedTableFolder();
    BrailleConversionData eight, six;
    ASSERT_EQ(eight.readFile(folder / "computer-braille-8-dot.txt"), BrailleConversionData::Done) << folder;
    ASSERT_EQ(six.readFile(folder / "letters-and-digits-6-dot.txt"), BrailleConversionData::Done) << folder;
    const std::map<char, uint8_t> computer = {{'A', 0x41}, {'a', 0x01}, {'@', 0x48}, {'`', 0x08}, {'_', 0x78}, {'1', 0x02}};
    for (const auto& [c, cell] : computer) EXPECT_EQ(eight.table()[uint8_t(c)], cell) << c;
    EXPECT_EQ(std::count(eight.table().begin(), eight.table().end(), 0), 256 - 94); // 33 to 126 only
    EXPECT_EQ(six.table()['Z'], six.table()['z']);
    EXPECT_EQ(six.table()['0'], 0x34);
}

} // namespace
