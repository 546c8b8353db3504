// The firmware catalogue decoder on any bytes: it refuses or decodes, never more.
#include "firmware/net/CatalogueJson.h"

#include "FuzzCheck.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const auto catalogue = brelmont::firmware::decodeCatalogue(QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)));
    if (catalogue)
        for (const auto& entry : catalogue->fw) check(entry.size >= 0); // a decoded size is never negative
    return 0;
}
