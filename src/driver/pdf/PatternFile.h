// Pattern files: textures that fill the colour areas of tactile graphics, so that neighbouring
// colours feel different under the finger. A small text format of our own:
//
//   # a comment
//   brelmont-patterns 1
//   texture stripes #FF0000
//   x..x
//   .xx.
//
// Users write these files by hand into the shared folder's "Patterns" folder, and any user may
// write there, so the reader trusts nothing: sizes are capped and every fault names its line.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace brelmont::driver {

struct Texture {
    std::string name;
    std::optional<std::array<uint8_t, 3>> colour; // the RGB colour this texture is bound to, if the file binds one
    int64_t width = 0, height = 0;                // tile size in emboss positions, 1..32 each
    std::vector<uint8_t> dots; // row-major width*height: 0 no dot, 1..7 that dot level, TopLevel = the graphic's top level
    static constexpr uint8_t TopLevel = 255;
    static constexpr int64_t MaxSide = 32;
    static constexpr size_t MaxNameLength = 32;

    // The tile repeated over the plane: the value at (x mod width, y mod height).
    uint8_t at(int64_t x, int64_t y) const;
};

struct PatternSet {
    std::vector<Texture> textures;
};

constexpr size_t MaxPatternFileBytes = 64 * 1024;
constexpr size_t MaxTextures = 64;

// Parses the text of a pattern file; none, with *error set to "line N: what is wrong" (or a
// whole-file reason), when it is not one.
std::optional<PatternSet> parsePatterns(std::string_view text, std::string* error);

// Reads the pattern file `value` (the "karro-patternfile" option: an absolute path, or a file name
// taken in `patternsFolder`). Only a plain file whose real location, links resolved, lies inside
// the real `patternsFolder` is read, and at most MaxPatternFileBytes of it; anything else is
// refused with *error naming the file and saying why.
std::optional<PatternSet> readPatternFile(const std::string& value, const std::filesystem::path& patternsFolder,
                                          std::string* error);

} // namespace brelmont::driver
