#include "firmware/Catalogue.h"

#include <algorithm>
#include <cctype>

namespace brelmont::firmware {

const CatalogueEntry* entryForModel(const FirmwareCatalogue& catalogue, int64_t model) {
    const auto found =
        std::find_if(catalogue.fw.begin(), catalogue.fw.end(), [&](const CatalogueEntry& j) { return j.model == model; });
    return found == catalogue.fw.end() ? nullptr : &*found;
}

bool downloadMatches(int64_t size, const std::string& sha256, const CatalogueEntry& entry) {
    if (size != entry.size) return false;
    if (!entry.sha256) return true;
    const auto lower = [](std::string text) {
        std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return char(std::tolower(c)); });
        return text;
    };
    return lower(sha256) == lower(*entry.sha256);
}

} // namespace brelmont::firmware
