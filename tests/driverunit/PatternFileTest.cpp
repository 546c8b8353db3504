// The pattern file reader: good and bad files with the message each fault gives, the size limits
// at the limit and one past it, and reading a file only from inside the patterns folder.
#include "driver/pdf/PatternFile.h"

#include "ScratchDir.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#include <tuple>

namespace {

namespace fs = std::filesystem;
using namespace brelmont::driver;
using ::testing::AllOf;
using ::testing::HasSubstr;

// A file with `textures` textures of `rows` rows of `columns` positions each.
std::string patterns(int textures, int rows, int columns) {
    std::string text = "brelmont-patterns 1\n";
    for (int t = 0; t < textures; ++t) {
        text += "texture t" + std::to_string(t) + "\n";
        for (int r = 0; r < rows; ++r) text += std::string(size_t(columns), 'x') + "\n";
    }
    return text;
}

TEST(PatternFile, ParsesGoodFilesAndNamesTheFaultyLine) {
    const std::string one = "brelmont-patterns 1\ntexture a\n";
    // What, the file, the fault said (none for a good file), the textures of a good file. A repeated
    // name or a texture without rows the fuzz target finds; other syntax faults are not listed.
    // clang-format off
    const std::tuple<const char*, std::string, const char*, size_t> cases[] = {
        {"comments, CRLF and trailing blanks",
        "# mine\r\n\r\nbrelmont-patterns 1 \r\n# first\r\ntexture a #ff00Aa\r\nx.\r\n.1\r\n", nullptr, 1},
        {"a blank line ends a tile", one + "x\n\ntexture b\t#000001\n7\n", nullptr, 2},
        {"32 columns", patterns(1, 1, 32), nullptr, 1},
        {"33 columns", patterns(1, 1, 33), "line 3: a row of 33 positions; at most 32", 0},
        {"32 rows", patterns(1, 32, 1), nullptr, 1},
        {"33 rows", patterns(1, 33, 1), "line 35: texture \"t0\" has more than 32 rows", 0},
        {"64 textures", patterns(64, 1, 1), nullptr, 64},
        {"65 textures", patterns(65, 1, 1), "line 130: more than 64 textures", 0},
        {"no header", "texture a\nx\n", "line 1: a pattern file begins with", 0},
        {"rows of different lengths", one + "xx\nx\n", "line 4: a row of 1 positions in texture \"a\", whose rows have 2", 0},
        {"NUL byte", one + std::string("x\0x\n", 4), "line 3: NUL byte at column 2", 0},
    };
    // clang-format on
    for (const auto& [what, text, fault, textures] : cases) {
        std::string error;
        const std::optional<PatternSet> set = parsePatterns(text, &error);
        EXPECT_EQ(set ? set->textures.size() : 0, textures) << what << ": " << error;
        if (fault) { EXPECT_THAT(error, HasSubstr(fault)) << what; }
    }

    std::string error;
    const std::optional<PatternSet> set =
        parsePatterns("brelmont-patterns 1\ntexture dots #0A0b0C\nx.3\n...\ntexture plain\n1\n", &error);
    ASSERT_TRUE(set) << error;
    const Texture& dots = set->textures[0];
    EXPECT_EQ(std::tuple(dots.name, dots.colour, dots.width, dots.height),
              std::tuple("dots", std::optional(std::array<uint8_t, 3>{10, 11, 12}), 3, 2));
    EXPECT_EQ(dots.dots, (std::vector<uint8_t>{Texture::TopLevel, 0, 3, 0, 0, 0}));
    EXPECT_EQ(dots.at(5, 0), 3);                 // wraps across
    EXPECT_EQ(dots.at(6, 4), Texture::TopLevel); // wraps both ways
    EXPECT_FALSE(set->textures[1].colour);
}

void write(const fs::path& path, const std::string& text) { std::ofstream(path, std::ios::binary) << text; }

TEST(PatternFile, ReadsOnlyPlainFilesInsideThePatternsFolder) {
    const brelmont::testing::ScratchDir scratch("patterns");
    const fs::path folder = scratch.path() / "Patterns";
    fs::create_directory(folder);
    const std::string good = "brelmont-patterns 1\ntexture a\nx.\n";
    write(folder / "good.txt", good);
    write(scratch.path() / "outside.txt", good);
    fs::create_symlink(scratch.path() / "outside.txt", folder / "link.txt");
    ASSERT_EQ(::mkfifo((folder / "fifo.txt").c_str(), 0600), 0);
    write(folder / "limit.txt", good + std::string(MaxPatternFileBytes - good.size(), '#'));
    write(folder / "large.txt", good + std::string(MaxPatternFileBytes + 1 - good.size(), '#'));
    write(folder / "bad.txt", "brelmont-patterns 1\n");

    // clang-format off
    const std::pair<std::string, const char*> reads[] = {
        // the name given, the fault said (none: read)
        {"good.txt", nullptr}, {(folder / "good.txt").string(), nullptr}, {"limit.txt", nullptr},
        {(scratch.path() / "outside.txt").string(), "is not inside the patterns folder"},
        {"../outside.txt", "is not inside the patterns folder"}, {"link.txt", "is not inside the patterns folder"},
        {"fifo.txt", "is not a plain file"}, {"large.txt", "is larger than 64 KiB"}, {"missing.txt", "cannot be found"},
        {"bad.txt", "bad.txt: the file has no texture"},
    };
    // clang-format on
    for (const auto& [name, fault] : reads) {
        std::string error;
        const std::optional<PatternSet> set = readPatternFile(name, folder, &error);
        EXPECT_EQ(set ? set->textures.at(0).name : "", fault ? "" : "a") << name << ": " << error;
        if (fault) { EXPECT_THAT(error, AllOf(HasSubstr(fault), HasSubstr(fs::path(name).filename().string()))); }
    }
}

} // namespace
