// The simulated embosser: answers queries from its state, applies DEFAULT settings and saves them
// at once (temporary file, then rename), stores downloads, and logs every request. One Device
// serves all connections; its calls are serialised.
#pragma once

#include "Family.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <optional>
#include <sstream>
#include <unistd.h>

namespace brelmont::sim {

namespace fs = std::filesystem;

inline std::string upper(std::string_view text) {
    std::string out(text);
    for (char& c : out) c = char(std::toupper(static_cast<unsigned char>(c)));
    return out;
}

inline std::string_view trim(std::string_view text) {
    const size_t start = text.find_first_not_of(" \t\r\n");
    return start == std::string_view::npos ? std::string_view()
                                           : text.substr(start, text.find_last_not_of(" \t\r\n") + 1 - start);
}

// A whole decimal number, or none when the text holds anything else.
inline std::optional<long long> parseNumber(std::string_view text) {
    text = trim(text);
    long long value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || ec != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return value;
}

// Bytes made readable for one log line: ESC as \e, other control bytes as \xNN.
inline std::string printable(std::string_view bytes) {
    std::string out;
    for (const unsigned char c : bytes.substr(0, 200)) {
        char hex[8];
        std::snprintf(hex, sizeof hex, "\\x%02X", c);
        out += c == 0x1b ? "\\e" : c == '\n' ? "\\n" : (c < 0x20 || c >= 0x7f) ? hex : std::string(1, char(c));
    }
    return bytes.size() > 200 ? out + "..." : out;
}

inline std::string_view unquote(std::string_view v) {
    v = trim(v);
    return v.size() >= 2 && v.front() == '"' && v.back() == '"' ? v.substr(1, v.size() - 2) : v;
}

inline FILE* g_log = stderr;

// "#0007    12.512 c3 <what>": numbered, seconds since the start; connection 0 is the simulator itself.
inline void log(int connection, std::string_view what) {
    static std::mutex mutex;
    static unsigned sequence = 0;
    static const auto start = std::chrono::steady_clock::now();
    const std::lock_guard lock(mutex);
    std::fprintf(g_log, "#%04u %9.3f c%d %.*s\n", ++sequence,
                 std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(), connection, int(what.size()),
                 what.data());
    std::fflush(g_log);
}

// A query's reply: the header line (its entry count added when counted), its lines, a form feed.
struct Reply {
    std::string header;
    std::vector<std::string> lines;
    bool counted = false;
};

class Device {
public:
    Device(const FamilyTable& family, std::string deviceId, fs::path state, fs::path store, fs::path jobs)
        : m_family(family),
          m_deviceId(deviceId.empty() ? family.deviceId : deviceId),
          m_state(std::move(state)),
          m_store(std::move(store)),
          m_jobs(std::move(jobs)),
          m_lists(family.lists) {
        if (family.nvParams.empty()) return;
        m_nvram.assign(NvramSize, 0);
        m_nvram[0] = 0x80; // marks a valid parameter line
        for (const NvParam& p : family.nvParams) m_nvram.at(size_t(p.byte)) = uint8_t(p.value);
    }

    // Loads the saved state and prepares the store and jobs folders.
    bool start(std::string* error) {
        if (!m_state.empty() && !load(error)) return false;
        for (const fs::path& dir : {m_store, m_jobs}) {
            if (dir.empty()) continue;
            std::error_code ec;
            fs::create_directories(dir, ec);
            if (ec) return *error = "cannot create " + dir.string() + ": " + ec.message(), false;
        }
        return true;
    }

    const FamilyTable& family() const { return m_family; }

    // A "@PJL ..." line; a query returns the reply to send at once.
    std::optional<Reply> pjlLine(int connection, std::string_view line) {
        std::lock_guard lock(m_mutex);
        const std::string_view rest = trim(line.substr(std::min<size_t>(4, line.size()))); // after "@PJL"
        const size_t blank = rest.find(' ');
        const std::string word = upper(rest.substr(0, blank));
        const std::string_view arg = blank == std::string_view::npos ? std::string_view() : trim(rest.substr(blank));
        const std::string what = upper(arg);

        std::optional<Reply> reply;
        std::string outcome;
        if (word == "INFO") {
            const auto* named = std::find(std::begin(SectionNames), std::end(SectionNames), what);
            if (named == std::end(SectionNames)) {
                reply =
                    Reply{"@PJL INFO " + std::string(what == "ID" ? "ID" : arg), {what == "ID" ? "\"" + m_deviceId + "\"" : "?"}};
            } else {
                reply = Reply{"@PJL INFO " + what, {}, true};
                // Texts with blanks travel in double quotes, as the devices send them.
                for (const Entry& e : list(int(named - std::begin(SectionNames))))
                    reply->lines.push_back(e.key + "=" +
                                           (e.value.find(' ') != std::string::npos ? "\"" + e.value + "\"" : e.value));
            }
        } else if (word == "DINQUIRE") {
            reply = inquire(arg);
        } else if (word == "DEFAULT") {
            outcome = setDefault(arg);
        }
        if (reply) outcome = reply->counted ? std::to_string(reply->lines.size()) + " entries" : "answered";
        log(connection, printable(line) + (outcome.empty() ? "" : " | " + outcome));
        return reply;
    }

    // The version request: ESC 0x80 0x34 ...; the reply repeats its frame with the version's three
    // numbers in bytes 6, 8 and 10.
    std::optional<std::string> binaryCommand(int connection, std::string_view bytes) {
        std::lock_guard lock(m_mutex);
        if (bytes[2] != 0x34) {
            log(connection, printable(bytes) + " | unknown binary command, ignored");
            return std::nullopt;
        }
        std::string reply(bytes);
        int parts[3] = {0, 0, 0};
        std::sscanf(find("FIRMWARE").value_or("0.0.0").c_str(), "%d.%d.%d", &parts[0], &parts[1], &parts[2]);
        for (int i = 0; i < 3; ++i) reply[size_t(6 + 2 * i)] = char(std::clamp(parts[i], 0, 255));
        log(connection, printable(bytes) + " | version request");
        return reply;
    }

    void download(int connection, std::string_view name, std::string_view bytes) {
        std::lock_guard lock(m_mutex);
        // The name as a plain file name inside the store.
        std::string file;
        for (const char c : name)
            file += std::isalnum(static_cast<unsigned char>(c)) || c == '.' || c == '_' || c == '-' ? c : '_';
        if (file.empty() || file[0] == '.') file.insert(0, "download");
        std::string outcome = "of " + std::to_string(bytes.size()) + " bytes ";
        if (m_store.empty()) outcome += "no store";
        else if (std::ofstream(m_store / file, std::ios::binary | std::ios::trunc)
                     .write(bytes.data(), std::streamsize(bytes.size()))
                     .flush())
            outcome += "stored in " + file;
        else outcome += "could not be stored";
        log(connection, "download \"" + printable(name) + "\" " + outcome);
    }

    // For a connection that carried data: "received-NNN.bin" in the store, "job-NNN.prn" in the
    // jobs folder (each empty without its folder).
    std::pair<fs::path, fs::path> newReceivedFiles() {
        std::lock_guard lock(m_mutex);
        char data[32], job[32];
        std::snprintf(data, sizeof data, "received-%03d.bin", m_nextReceived);
        std::snprintf(job, sizeof job, "job-%03d.prn", m_nextReceived++);
        return {m_store.empty() ? fs::path() : m_store / data, m_jobs.empty() ? fs::path() : m_jobs / job};
    }

private:
    static constexpr size_t NvramSize = 128;

    EntryList list(int section) const {
        if (section != Variables || m_nvram.empty()) return m_lists[size_t(section)];
        EntryList out;
        for (const NvParam& p : m_family.nvParams) out.push_back({p.name, std::to_string(m_nvram[size_t(p.byte)])});
        return out;
    }

    std::optional<std::string> find(std::string_view key) const {
        for (int s = 0; s < SectionCount; ++s)
            for (const Entry& e : list(s))
                if (upper(e.key) == upper(key)) return e.value;
        return std::nullopt;
    }

    // NVRAM families also answer "NVPARMS" (the line in hex pairs) and "NVRAMn" (byte n in decimal).
    Reply inquire(std::string_view name) const {
        Reply r{"@PJL DINQUIRE " + std::string(name), {"?"}};
        const std::string key = upper(name);
        if (!m_nvram.empty() && key == "NVPARMS") {
            r.lines[0] = nvramHex();
        } else if (!m_nvram.empty() && key.starts_with("NVRAM")) {
            if (const auto i = parseNumber(name.substr(5)); i && *i >= 0 && *i < std::ssize(m_nvram))
                r.lines[0] = std::to_string(m_nvram[size_t(*i)]);
        } else if (const auto value = find(name)) {
            r.lines[0] = *value;
        }
        return r;
    }

    // "KEY=VALUE" (the value possibly in double quotes), or for NVRAM families "NVRAMn=V" and "NVRAMn V".
    std::string setDefault(std::string_view assignment) {
        if (!m_nvram.empty() && upper(assignment).starts_with("NVRAM")) {
            const std::string_view body = assignment.substr(5);
            const size_t sep = body.find_first_of("= ");
            const auto index = parseNumber(body.substr(0, sep));
            const auto value = sep == std::string_view::npos ? std::nullopt : parseNumber(unquote(body.substr(sep + 1)));
            return index && value ? saved(setNvram(*index, *value)) : "malformed, ignored";
        }
        const size_t eq = assignment.find('=');
        const std::string_view key = trim(assignment.substr(0, eq));
        if (eq == std::string_view::npos || key.empty()) return "malformed, ignored";
        return saved(set(key, unquote(assignment.substr(eq + 1))));
    }

    // A setting is a variable, a legacy entry or a named NVRAM byte; readings and versions stay as they are.
    const char* set(std::string_view key, std::string_view value) {
        for (const NvParam& p : m_family.nvParams)
            if (upper(p.name) == upper(key)) {
                const auto number = parseNumber(value);
                return number ? setNvram(p.byte, *number) : "refused";
            }
        for (const int s : {Variables, Legacy})
            for (Entry& e : m_lists[size_t(s)])
                if (upper(e.key) == upper(key)) {
                    if (e.value == value) return "unchanged";
                    e.value = std::string(value);
                    return "changed";
                }
        return "unknown, ignored";
    }

    const char* setNvram(long long index, long long value) {
        // Byte 0 is the validity mark of the line, not a parameter.
        if (index <= 0 || index >= std::ssize(m_nvram)) return "unknown, ignored";
        if (value < 0 || value > 255) return "refused";
        if (m_nvram[size_t(index)] == value) return "unchanged";
        m_nvram[size_t(index)] = uint8_t(value);
        return "changed";
    }

    std::string nvramHex() const {
        std::string hex;
        for (const uint8_t b : m_nvram) hex += {"0123456789ABCDEF"[b >> 4], "0123456789ABCDEF"[b & 15]};
        return hex;
    }

    // The state file: "family=NAME", then "[SECTION]" headers each followed by KEY=VALUE lines, and for
    // NVRAM families "[NVRAM]" followed by one line of hexadecimal digit pairs.
    std::string saved(const std::string& text) {
        if (text != "changed" || m_state.empty()) return text;
        std::ostringstream out;
        out << "# embosser-sim state\nfamily=" << m_family.name << "\n";
        for (int s = 0; s < SectionCount; ++s) {
            out << "[" << SectionNames[s] << "]\n";
            for (const Entry& e : m_lists[size_t(s)]) out << e.key << "=" << e.value << "\n";
        }
        if (!m_nvram.empty()) out << "[NVRAM]\n" << nvramHex() << "\n";
        fs::path temp = m_state;
        temp += ".tmp." + std::to_string(::getpid());
        std::error_code ec;
        if (!(std::ofstream(temp, std::ios::binary | std::ios::trunc) << out.str() << std::flush))
            return text + "; state not saved: cannot write " + temp.string();
        fs::rename(temp, m_state, ec);
        return ec ? text + "; state not saved: " + ec.message() : text;
    }

    // A saved state over the factory one; a missing file is not an error. Saved entries win over
    // factory ones, and entries the file adds are kept too.
    bool load(std::string* error) {
        std::ifstream file(m_state, std::ios::binary);
        EntryList* current = nullptr;
        bool inNvram = false;
        for (std::string line; std::getline(file, line);) {
            if (!line.empty() && line.back() == '\r') line.pop_back();
            if (line.empty() || line[0] == '#') continue;
            if (line.front() == '[' && line.back() == ']') {
                const std::string name = line.substr(1, line.size() - 2);
                const auto* s = std::find(std::begin(SectionNames), std::end(SectionNames), name);
                current = s == std::end(SectionNames) ? nullptr : &m_lists[size_t(s - std::begin(SectionNames))];
                inNvram = name == "NVRAM";
            } else if (inNvram) {
                for (size_t i = 0; i + 1 < line.size() && i / 2 < m_nvram.size(); i += 2)
                    m_nvram[i / 2] = uint8_t(std::strtoul(line.substr(i, 2).c_str(), nullptr, 16));
            } else if (const size_t eq = line.find('='); eq != std::string::npos) {
                const std::string key = line.substr(0, eq), value = line.substr(eq + 1);
                if (!current && key == "family" && value != m_family.name)
                    return *error = m_state.string() + " holds the state of family " + value, false;
                if (!current) continue;
                const auto e = std::find_if(current->begin(), current->end(), [&](const Entry& e) { return e.key == key; });
                if (e != current->end()) e->value = value;
                else current->push_back({key, value});
            }
        }
        return true;
    }

    const FamilyTable& m_family;
    const std::string m_deviceId;
    const fs::path m_state, m_store, m_jobs;
    std::mutex m_mutex;
    std::array<EntryList, SectionCount> m_lists;
    std::vector<uint8_t> m_nvram;
    int m_nextReceived = 1;
};

} // namespace brelmont::sim
