// Text into braille cells with one liblouis table.
#pragma once

#include "driver/braille/Cells.h"

#include <memory>
#include <string>
#include <string_view>

namespace brelmont::driver {

class Translator {
public:
    // The table by its file name (isTableName); none, with `error` set, when liblouis cannot load it.
    static std::unique_ptr<Translator> open(const std::string& table, std::string* error);

    // One line of text (UTF-32, no line ends) as cells; a blank becomes the blank cell. Throws
    // std::runtime_error when liblouis cannot translate it whole.
    Cells translate(std::u32string_view line) const;
    int dots() const { return m_dots; }
    const std::string& table() const { return m_table; }

private:
    Translator(std::string table, int dots) : m_table(std::move(table)), m_dots(dots) {}
    std::string m_table;
    int m_dots;
};

} // namespace brelmont::driver
