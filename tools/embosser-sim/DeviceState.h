// The settings and readings of one simulated embosser, kept as ordered key/value lists (and, for
// NVRAM families, a byte line), saved to and loaded from a small text file.
#pragma once

#include "Family.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace brelmont::sim {

enum class Section { Variables, Versions, Status, Legacy, Sensors };

class DeviceState {
public:
    explicit DeviceState(const FamilyTable& family);

    // The entries a query lists; for NVRAM families the variables are the named bytes.
    EntryList list(Section section) const;
    // The first value of the key in variables, versions, status, legacy or sensors (any case).
    std::optional<std::string> find(std::string_view key) const;

    enum class SetResult { Changed, Unchanged, Unknown, Refused };
    // A device setting: a variable, a legacy entry or a named NVRAM byte. Readings and versions
    // are not settings and stay as they are.
    SetResult set(std::string_view key, std::string_view value);

    bool hasNvram() const { return !m_nvram.empty(); }
    std::optional<int> nvramByte(long long index) const;
    SetResult setNvramByte(long long index, long long value);
    std::string nvramHex() const;

    // Puts the fill state of cartridge `digit` back to full.
    SetResult resetFillState(char digit);

    // Reads a saved state over the factory one; a missing file is not an error.
    bool load(const std::filesystem::path& path, std::string* error);
    // Writes the whole state to a temporary file beside `path` and renames it into place.
    bool save(const std::filesystem::path& path, std::string* error) const;

private:
    EntryList* listFor(Section section);
    const EntryList* listFor(Section section) const;
    Entry* findEntry(Section section, std::string_view key);

    const FamilyTable& m_family;
    EntryList m_variables, m_versions, m_status, m_legacy, m_sensors;
    std::vector<uint8_t> m_nvram;
};

} // namespace brelmont::sim
