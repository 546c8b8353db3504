// Pattern files as users write them into the shared folder. A file the reader takes holds between
// one and MaxTextures textures with distinct names and distinct colours, each a whole tile of 1 to
// 32 by 1 to 32 positions whose values are dot levels; a file it refuses says where.
#include "driver/pdf/PatternFile.h"

#include "FuzzCheck.h"

#include <cstdlib>
#include <set>
#include <string>

using namespace brelmont::driver;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string error;
    const std::optional<PatternSet> set = parsePatterns(std::string_view(reinterpret_cast<const char*>(data), size), &error);
    if (!set) {
        check(!error.empty());
        return 0;
    }
    check(!set->textures.empty() && set->textures.size() <= MaxTextures);
    std::set<std::string> names;
    std::set<std::array<uint8_t, 3>> colours;
    for (const Texture& texture : set->textures) {
        check(names.insert(texture.name).second);
        check(!texture.name.empty() && texture.name.size() <= 32);
        if (texture.colour) check(colours.insert(*texture.colour).second);
        check(texture.width >= 1 && texture.width <= 32 && texture.height >= 1 && texture.height <= 32);
        check(texture.dots.size() == size_t(texture.width * texture.height));
        for (const uint8_t dot : texture.dots) check(dot <= 7 || dot == Texture::TopLevel);
        // The tile repeats: a whole tile further on gives the same value.
        check(texture.at(texture.width - 1, 0) == texture.at(2 * texture.width - 1, texture.height));
    }
    return 0;
}
