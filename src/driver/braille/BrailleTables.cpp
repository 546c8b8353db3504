#include "driver/braille/BrailleTables.h"

#include <liblouis/liblouis.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>

namespace brelmont::driver {

std::vector<BrailleTable> listBrailleTables() {
    std::vector<BrailleTable> tables;
    char** listed = lou_listTables();
    // The caller frees what liblouis hands out: the list, its names and each metadata value.
    const auto info = [](const char* table, const char* key) {
        char* value = lou_getTableInfo(table, key);
        std::string text = value ? value : "";
        std::free(value);
        return text;
    };
    for (size_t i = 0; listed && listed[i]; ++i) {
        const std::string index = info(listed[i], "index-name");
        BrailleTable table;
        table.name = std::filesystem::path(listed[i]).filename().string();
        table.dots = info(listed[i], "dots").find('8') != std::string::npos ? 8 : 6;
        table.text = index + " (" + std::to_string(table.dots) + " dots)";
        if (!index.empty() && isTableName(table.name)) tables.push_back(std::move(table));
        std::free(listed[i]);
    }
    std::free(static_cast<void*>(listed));
    std::sort(tables.begin(), tables.end(), [](const BrailleTable& a, const BrailleTable& b) { return a.text < b.text; });
    return tables;
}

bool isTableName(std::string_view name) {
    if (name.empty() || name.size() > 40 || name.front() == '.') return false;
    return std::all_of(name.begin(), name.end(), [](char c) {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '.' || c == '-' || c == '_';
    });
}

} // namespace brelmont::driver
