// The firmware catalogue of the maker's update server: one entry per firmware file on offer.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace brelmont::firmware {

// One firmware file on offer.
struct CatalogueEntry {
    std::string version;               // "1.4.3"; compared as a whole text, never as a number
    std::string url;                   // absolute address of the file
    std::string ext;                   // the file's type (not used by the decision)
    int64_t model = 0;                 // the embosser family's model code
    int64_t size = 0;                  // the file's exact size in bytes
    std::optional<std::string> sha256; // the file's SHA-256 digest (lower-case hex), where the server gives it
};

// The catalogue: the "fw" array.
struct FirmwareCatalogue {
    std::vector<CatalogueEntry> fw;
};

// The first entry for the model; null when there is none.
const CatalogueEntry* entryForModel(const FirmwareCatalogue& catalogue, int64_t model);

// Whether a downloaded file is the entry's file: its exact size, and its digest when the entry
// names one. `sha256` is the downloaded bytes' digest in hex (either case).
bool downloadMatches(int64_t size, const std::string& sha256, const CatalogueEntry& entry);

} // namespace brelmont::firmware
