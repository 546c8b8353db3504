#include "DeviceState.h"

#include "Text.h"

#include <cstdio>
#include <fstream>
#include <sstream>
#include <unistd.h>
#include <utility>

namespace brelmont::sim {

namespace {
constexpr struct {
    Section section;
    const char* name;
} kSectionNames[] = {
    {Section::Variables, "VARIABLES"}, {Section::Versions, "VERSIONS"}, {Section::Status, "STATUS"},
    {Section::Legacy, "LEGACY"},       {Section::Sensors, "SENSORS"},
};

constexpr Section kLookupOrder[] = {Section::Variables, Section::Versions, Section::Status, Section::Legacy, Section::Sensors};
} // namespace

DeviceState::DeviceState(const FamilyTable& family)
    : m_family(family),
      m_variables(family.variables),
      m_versions(family.versions),
      m_status(family.status),
      m_legacy(family.legacy),
      m_sensors(family.sensors) {
    if (!family.nvParams.empty()) {
        m_nvram.assign(static_cast<size_t>(family.nvramSize), 0);
        m_nvram[0] = 0x80; // marks a valid parameter line
        for (const NvParam& p : family.nvParams) m_nvram.at(static_cast<size_t>(p.byte)) = static_cast<uint8_t>(p.value);
        m_variables.clear();
    }
}

EntryList* DeviceState::listFor(Section section) { return const_cast<EntryList*>(std::as_const(*this).listFor(section)); }

const EntryList* DeviceState::listFor(Section section) const {
    switch (section) {
    case Section::Variables: return &m_variables;
    case Section::Versions: return &m_versions;
    case Section::Status: return &m_status;
    case Section::Legacy: return &m_legacy;
    case Section::Sensors: return &m_sensors;
    }
    return nullptr;
}

Entry* DeviceState::findEntry(Section section, std::string_view key) {
    for (Entry& e : *listFor(section))
        if (iequals(e.key, key)) return &e;
    return nullptr;
}

EntryList DeviceState::list(Section section) const {
    if (section == Section::Variables && hasNvram()) {
        EntryList out;
        for (const NvParam& p : m_family.nvParams) out.push_back({p.name, std::to_string(m_nvram[static_cast<size_t>(p.byte)])});
        return out;
    }
    return *listFor(section);
}

std::optional<std::string> DeviceState::find(std::string_view key) const {
    for (Section s : kLookupOrder)
        for (const Entry& e : list(s))
            if (iequals(e.key, key)) return e.value;
    return std::nullopt;
}

DeviceState::SetResult DeviceState::set(std::string_view key, std::string_view value) {
    if (hasNvram()) {
        for (const NvParam& p : m_family.nvParams) {
            if (!iequals(p.name, key)) continue;
            const auto number = parseNumber(value);
            return number ? setNvramByte(p.byte, *number) : SetResult::Refused;
        }
    }
    for (Section s : {Section::Variables, Section::Legacy}) {
        if (Entry* e = findEntry(s, key)) {
            if (e->value == value) return SetResult::Unchanged;
            e->value = std::string(value);
            return SetResult::Changed;
        }
    }
    return SetResult::Unknown;
}

std::optional<int> DeviceState::nvramByte(long long index) const {
    if (index < 0 || index >= static_cast<long long>(m_nvram.size())) return std::nullopt;
    return m_nvram[static_cast<size_t>(index)];
}

DeviceState::SetResult DeviceState::setNvramByte(long long index, long long value) {
    // Byte 0 is the validity mark of the line, not a parameter.
    if (index <= 0 || index >= static_cast<long long>(m_nvram.size())) return SetResult::Unknown;
    if (value < 0 || value > 255) return SetResult::Refused;
    uint8_t& b = m_nvram[static_cast<size_t>(index)];
    if (b == value) return SetResult::Unchanged;
    b = static_cast<uint8_t>(value);
    return SetResult::Changed;
}

std::string DeviceState::nvramHex() const {
    static const char digits[] = "0123456789ABCDEF";
    std::string hex;
    for (uint8_t b : m_nvram) {
        hex += digits[b >> 4];
        hex += digits[b & 15];
    }
    return hex;
}

DeviceState::SetResult DeviceState::resetFillState(char digit) {
    const std::string key = std::string("INKLEVEL") + digit;
    for (Section s : kLookupOrder) {
        if (Entry* e = findEntry(s, key)) {
            if (e->value == "100") return SetResult::Unchanged;
            e->value = "100";
            return SetResult::Changed;
        }
    }
    return SetResult::Unknown;
}

// The file: "family=NAME", then "[SECTION]" headers each followed by KEY=VALUE lines, and for
// NVRAM families "[NVRAM]" followed by one line of hexadecimal digit pairs.
bool DeviceState::save(const std::filesystem::path& path, std::string* error) const {
    std::ostringstream out;
    out << "# embosser-sim state\nfamily=" << m_family.name << "\n";
    for (const auto& [section, name] : kSectionNames) {
        if (section == Section::Variables && hasNvram()) continue;
        out << "[" << name << "]\n";
        for (const Entry& e : *listFor(section)) out << e.key << "=" << e.value << "\n";
    }
    if (hasNvram()) out << "[NVRAM]\n" << nvramHex() << "\n";

    const std::string text = out.str();
    std::filesystem::path temp = path;
    temp += ".tmp." + std::to_string(::getpid());
    {
        std::ofstream file(temp, std::ios::binary | std::ios::trunc);
        file << text;
        file.flush();
        if (!file) {
            if (error) *error = "cannot write " + temp.string();
            return false;
        }
    }
    std::error_code ec;
    std::filesystem::rename(temp, path, ec);
    if (ec) {
        if (error) *error = "cannot rename " + temp.string() + ": " + ec.message();
        std::filesystem::remove(temp, ec);
        return false;
    }
    return true;
}

bool DeviceState::load(const std::filesystem::path& path, std::string* error) {
    std::ifstream file(path, std::ios::binary);
    if (!file) return true;
    std::string line;
    EntryList* current = nullptr;
    bool inNvram = false;
    while (std::getline(file, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty() || line[0] == '#') continue;
        if (line.front() == '[' && line.back() == ']') {
            const std::string name = line.substr(1, line.size() - 2);
            current = nullptr;
            inNvram = name == "NVRAM";
            for (const auto& [section, sectionName] : kSectionNames)
                if (name == sectionName && !(section == Section::Variables && hasNvram())) current = listFor(section);
            continue;
        }
        if (inNvram) {
            const auto nibble = [](char c) {
                if (c >= '0' && c <= '9') return c - '0';
                if (c >= 'a' && c <= 'f') return c - 'a' + 10;
                if (c >= 'A' && c <= 'F') return c - 'A' + 10;
                return 0;
            };
            for (size_t i = 0; i + 1 < line.size() && i / 2 < m_nvram.size(); i += 2)
                m_nvram[i / 2] = static_cast<uint8_t>(nibble(line[i]) * 16 + nibble(line[i + 1]));
            continue;
        }
        const size_t eq = line.find('=');
        if (eq == std::string::npos) continue;
        const std::string key = line.substr(0, eq), value = line.substr(eq + 1);
        if (!current) {
            if (key == "family" && value != m_family.name) {
                if (error) *error = path.string() + " holds the state of family " + value;
                return false;
            }
            continue;
        }
        // Saved entries win over factory ones; entries the file adds are kept too.
        bool found = false;
        for (Entry& e : *current) {
            if (e.key == key) {
                e.value = value;
                found = true;
                break;
            }
        }
        if (!found) current->push_back({key, value});
    }
    return true;
}

} // namespace brelmont::sim
