#include "driver/braille/Translator.h"

#include "driver/braille/BrailleTables.h"

#include <liblouis/liblouis.h>

#include <cstdio>
#include <cstdlib>
#include <stdexcept>
#include <vector>

namespace brelmont::driver {

static_assert(sizeof(widechar) == sizeof(char32_t), "liblouis is built with 32-bit characters on this system");

namespace {

// liblouis's own messages ("Cannot resolve table ...") would reach the job log as bare lines; as
// DEBUG lines they stay in the scheduler's log without standing beside the job's ERROR line.
void logToJob(logLevels, const char* message) { std::fprintf(stderr, "DEBUG: liblouis: %s\n", message); }

} // namespace

std::unique_ptr<Translator> Translator::open(const std::string& table, std::string* error) {
    if (!isTableName(table)) {
        *error = "\"" + table + "\" is not the name of a braille table";
        return nullptr;
    }
    lou_registerLogCallback(logToJob);
    if (!lou_getTable(table.c_str())) {
        *error = "the braille table " + table + " could not be loaded (is it installed? liblouis-data holds the tables)";
        return nullptr;
    }
    char* dots = lou_getTableInfo(table.c_str(), "dots");
    const int count = dots && std::string_view(dots).find('8') != std::string_view::npos ? 8 : 6;
    std::free(dots);
    return std::unique_ptr<Translator>(new Translator(table, count));
}

Cells Translator::translate(std::u32string_view line) const {
    if (line.empty()) return {};
    // Contractions rarely grow the text; a short output is tried again with room to spare.
    std::vector<widechar> in(line.begin(), line.end());
    for (size_t room = line.size() * 2 + 16;; room *= 2) {
        std::vector<widechar> out(room);
        int inLength = int(in.size()), outLength = int(out.size());
        // A line liblouis cannot translate whole must not vanish from the document unsaid.
        if (!lou_translateString(m_table.c_str(), in.data(), &inLength, out.data(), &outLength, nullptr, nullptr, ucBrl | dotsIO))
            throw std::runtime_error("liblouis could not translate a line with the table " + m_table);
        if (inLength < int(in.size()) && room < line.size() * 64) continue;
        if (inLength < int(in.size()))
            throw std::runtime_error("liblouis translated only part of a line with the table " + m_table);
        Cells cells;
        cells.reserve(size_t(outLength));
        for (int i = 0; i < outLength; ++i) cells.push_back(uint8_t(out[size_t(i)] & 0xFF));
        return cells;
    }
}

} // namespace brelmont::driver
