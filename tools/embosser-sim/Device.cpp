#include "Device.h"

#include "StreamParser.h"
#include "Text.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <fstream>

namespace brelmont::sim {

namespace {
constexpr struct {
    const char* name;
    Section section;
} kInfoLists[] = {
    {"VARIABLES", Section::Variables}, {"VERSIONS", Section::Versions}, {"STATUS", Section::Status},
    {"LEGACY", Section::Legacy},       {"SENSORS", Section::Sensors},
};

// PJL commands that need nothing from the device beyond being read.
constexpr const char* kAccepted[] = {"",        "SET",   "USTATUS",    "USTATUSOFF", "SERVICE", "JOB",   "EOJ",  "ENTER",
                                     "COMMENT", "RESET", "INITIALIZE", "FSDOWNLOAD", "RDYMSG",  "OPMSG", "STMSG"};

const char* resultText(DeviceState::SetResult r) {
    switch (r) {
    case DeviceState::SetResult::Changed: return "changed";
    case DeviceState::SetResult::Unchanged: return "unchanged";
    case DeviceState::SetResult::Unknown: return "unknown, ignored";
    case DeviceState::SetResult::Refused: return "refused";
    }
    return "";
}

std::string_view unquote(std::string_view v) {
    v = trim(v);
    if (v.size() >= 2 && v.front() == '"' && v.back() == '"') v = v.substr(1, v.size() - 2);
    return v;
}

// A download name as a plain file name inside the store.
std::string fileName(std::string_view name) {
    std::string out;
    for (char c : name) out += (std::isalnum(static_cast<unsigned char>(c)) || c == '.' || c == '_' || c == '-') ? c : '_';
    if (out.empty() || out[0] == '.') out.insert(0, "download");
    return out;
}

// "a.b.c" as three numbers of one byte each.
void versionBytes(const std::string& text, unsigned char out[3]) {
    int parts[3] = {0, 0, 0};
    std::sscanf(text.c_str(), "%d.%d.%d", &parts[0], &parts[1], &parts[2]);
    for (int i = 0; i < 3; ++i) out[i] = static_cast<unsigned char>(std::clamp(parts[i], 0, 255));
}
} // namespace

Device::Device(const FamilyTable& family, DeviceConfig config, RequestLog& log)
    : m_family(family),
      m_config(std::move(config)),
      m_log(log),
      m_state(family) {
    if (m_config.deviceId.empty()) m_config.deviceId = family.deviceId;
}

bool Device::start(std::string* error) {
    if (!m_config.statePath.empty() && !m_state.load(m_config.statePath, error)) return false;
    for (const auto& [dir, pattern] :
         {std::pair{m_config.storeDir, "received-%d.bin"}, std::pair{m_config.jobsDir, "job-%d.prn"}}) {
        if (dir.empty()) continue;
        std::error_code ec;
        std::filesystem::create_directories(dir, ec);
        if (ec) {
            *error = "cannot create " + dir.string() + ": " + ec.message();
            return false;
        }
        // Numbering goes on after the files an earlier run left.
        for (const auto& e : std::filesystem::directory_iterator(dir, ec)) {
            int n = 0;
            if (std::sscanf(e.path().filename().c_str(), pattern, &n) == 1) m_nextReceived = std::max(m_nextReceived, n + 1);
        }
    }
    return true;
}

std::optional<Reply> Device::pjlLine(int connection, std::string_view line) {
    std::lock_guard lock(m_mutex);
    const std::string_view rest = trim(line.substr(std::min<size_t>(4, line.size())));
    const std::string word = upper(rest.substr(0, rest.find(' ')));
    const std::string_view arg =
        rest.find(' ') == std::string_view::npos ? std::string_view() : trim(rest.substr(rest.find(' ')));

    std::optional<Reply> reply;
    std::string outcome;
    if (word == "INFO") {
        reply = info(arg);
    } else if (word == "DINQUIRE" || word == "INQUIRE") {
        reply = inquire(word, arg);
    } else if (word == "ECHO") {
        reply = Reply{"@PJL ECHO " + std::string(arg), {}, false};
    } else if (word == "DEFAULT") {
        outcome = setDefault(arg);
    } else if (std::find(std::begin(kAccepted), std::end(kAccepted), word) == std::end(kAccepted)) {
        outcome = "unknown command, ignored";
    }
    if (reply) outcome = reply->counted ? std::to_string(reply->lines.size()) + " entries" : "answered";
    m_log.write(connection, printable(line) + (outcome.empty() ? "" : " | " + outcome));
    return reply;
}

std::optional<Reply> Device::info(std::string_view what) {
    const std::string category = upper(trim(what));
    for (const auto& [name, section] : kInfoLists)
        if (category == name) return Reply::list("@PJL INFO " + category, m_state.list(section));
    if (category == "ID") return Reply::value("@PJL INFO ID", "\"" + m_config.deviceId + "\"");
    return Reply::value("@PJL INFO " + std::string(what), "?");
}

Reply Device::inquire(std::string_view word, std::string_view name) {
    const std::string header = "@PJL " + std::string(word) + " " + std::string(name);
    if (m_state.hasNvram()) {
        if (iequals(name, "NVPARMS")) return Reply::value(header, m_state.nvramHex());
        if (istartsWith(name, "NVRAM")) {
            const auto index = parseNumber(name.substr(5));
            const auto byte = index ? m_state.nvramByte(*index) : std::nullopt;
            return Reply::value(header, byte ? std::to_string(*byte) : "?");
        }
    }
    const auto value = m_state.find(name);
    return Reply::value(header, value ? *value : "?");
}

// "KEY=VALUE" (the value possibly in double quotes), or for NVRAM families "NVRAMn=V" and "NVRAMn V".
std::string Device::setDefault(std::string_view assignment) {
    if (m_state.hasNvram() && istartsWith(assignment, "NVRAM")) {
        const std::string_view body = assignment.substr(5);
        const size_t sep = body.find_first_of("= ");
        const auto index = parseNumber(body.substr(0, sep));
        const auto value = sep == std::string_view::npos ? std::nullopt : parseNumber(unquote(body.substr(sep + 1)));
        if (!index || !value) return "malformed, ignored";
        return saveAfter(m_state.setNvramByte(*index, *value));
    }
    const size_t eq = assignment.find('=');
    if (eq == std::string_view::npos) return "malformed, ignored";
    const std::string_view key = trim(assignment.substr(0, eq));
    if (key.empty()) return "malformed, ignored";
    return saveAfter(m_state.set(key, unquote(assignment.substr(eq + 1))));
}

std::string Device::saveAfter(DeviceState::SetResult result) {
    std::string text = resultText(result);
    std::string error;
    if (result == DeviceState::SetResult::Changed && !m_config.statePath.empty() && !m_state.save(m_config.statePath, &error))
        text += "; state not saved: " + error;
    return text;
}

void Device::printerCommand(int connection, std::string_view text) {
    std::lock_guard lock(m_mutex);
    constexpr std::string_view fillReset = "inkjet.clearnozzlecount";
    std::string outcome = "unknown printer command, ignored";
    if (istartsWith(text, fillReset)) {
        const std::string_view digit = trim(text.substr(fillReset.size()));
        if (digit.size() == 1 && std::isdigit(static_cast<unsigned char>(digit[0])))
            outcome = "fill-state reset " + std::string(digit) + ": " + saveAfter(m_state.resetFillState(digit[0]));
        else outcome = "fill-state reset without a cartridge digit, ignored";
    }
    m_log.write(connection, "\\e%P" + printable(text) + "; | " + outcome);
}

std::optional<std::string> Device::binaryCommand(int connection, std::string_view bytes) {
    std::lock_guard lock(m_mutex);
    // The version request: ESC 0x80 0x34 ...; the reply repeats its frame with the version in
    // bytes 6, 8 and 10.
    if (m_family.binaryVersionRequest && static_cast<unsigned char>(bytes[2]) == 0x34) {
        std::string reply(bytes);
        unsigned char version[3];
        versionBytes(m_state.find("FIRMWARE").value_or("0.0.0"), version);
        for (int i = 0; i < 3; ++i) reply[6 + 2 * i] = static_cast<char>(version[i]);
        m_log.write(connection, printable(bytes) + " | version request");
        return reply;
    }
    m_log.write(connection, printable(bytes) + " | unknown binary command, ignored");
    return std::nullopt;
}

void Device::download(int connection, std::string_view name, std::string_view bytes, bool complete) {
    std::lock_guard lock(m_mutex);
    if (!complete) {
        m_log.write(connection,
                    "download \"" + printable(name) + "\" ended after " + std::to_string(bytes.size()) + " bytes, not stored");
        return;
    }
    if (m_config.storeDir.empty()) {
        m_log.write(connection, "download \"" + printable(name) + "\" of " + std::to_string(bytes.size()) + " bytes, no store");
        return;
    }
    const std::filesystem::path path = m_config.storeDir / fileName(name);
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    file.close();
    m_log.write(connection, "download \"" + printable(name) + "\" of " + std::to_string(bytes.size()) + " bytes " +
                                (file ? "stored in " + path.filename().string() : "could not be stored"));
}

Device::ReceivedFiles Device::newReceivedFiles() {
    std::lock_guard lock(m_mutex);
    char data[32], job[32];
    std::snprintf(data, sizeof data, "received-%03d.bin", m_nextReceived);
    std::snprintf(job, sizeof job, "job-%03d.prn", m_nextReceived++);
    return {m_config.storeDir.empty() ? std::filesystem::path() : m_config.storeDir / data,
            m_config.jobsDir.empty() ? std::filesystem::path() : m_config.jobsDir / job};
}

} // namespace brelmont::sim
