#include "app/PreviewHandoff.h"

#include "printer/ShellQuote.h"

#include <fstream>
#include <iostream>
#include <iterator>

namespace brelmont::app {

namespace fs = std::filesystem;
using printer::shellDoubleQuoted;
using printer::shellWord;

std::vector<std::string> requestLines(std::string_view text) {
    std::vector<std::string> lines;
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string_view::npos) end = text.size();
        if (end > start) lines.emplace_back(text.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}

std::optional<std::string> requestBaseName(std::string_view text) {
    const auto lines = requestLines(text);
    if (lines.size() < 5) return std::nullopt;
    const std::string& name = lines[2];
    const size_t dot = name.rfind('.');
    return dot == std::string::npos ? name : name.substr(0, dot);
}

bool isPlainFileName(std::string_view name) {
    return !name.empty() && name != "." && name != ".." && name.find('/') == std::string_view::npos &&
           name.find('\0') == std::string_view::npos;
}

bool isUtf8(std::string_view bytes) {
    size_t i = 0;
    while (i < bytes.size()) {
        const auto c = uint8_t(bytes[i]);
        size_t more = 0;
        uint32_t cp = 0;
        if (c < 0x80) { ++i; continue; }
        if (c >= 0xC2 && c <= 0xDF) { more = 1; cp = c & 0x1F; }
        else if (c >= 0xE0 && c <= 0xEF) { more = 2; cp = c & 0x0F; }
        else if (c >= 0xF0 && c <= 0xF4) { more = 3; cp = c & 0x07; }
        else return false;
        if (i + more >= bytes.size()) return false;
        for (size_t k = 1; k <= more; ++k) {
            const auto d = uint8_t(bytes[i + k]);
            if ((d & 0xC0) != 0x80) return false;
            cp = (cp << 6) | (d & 0x3F);
        }
        // Overlong forms, surrogates and values past U+10FFFF are not UTF-8.
        if ((more == 2 && cp < 0x800) || (more == 3 && (cp < 0x10000 || cp > 0x10FFFF)) || (cp >= 0xD800 && cp <= 0xDFFF))
            return false;
        i += more + 1;
    }
    return true;
}

PreviewHandoff::PreviewHandoff(SharedFolder folder, RunCommand run, ShowWarning warn, OpenJob open)
    : m_folder(std::move(folder)), m_run(std::move(run)), m_warn(std::move(warn)), m_open(std::move(open)) {}

std::vector<std::string> PreviewHandoff::repairCommands() const {
    const std::string lock = shellWord(m_folder.lockFile().string());
    const std::string job = shellWord(m_folder.previewJob().string());
    return {"touch " + lock, "chmod 666 " + lock, "touch " + job, "chmod 666 " + job};
}

std::string PreviewHandoff::copyCommand(const std::string& baseName) const {
    const fs::path target = m_folder.root() / (baseName + ".kprn");
    return "cp " + shellDoubleQuoted(m_folder.previewJob().string()) + " " + shellDoubleQuoted(target.string());
}

std::string PreviewHandoff::permissionWarning() const {
    return m_folder.lockFile().string() + " has not the correct permissions!\nPlease remove the file.";
}

PreviewHandoff::Tick PreviewHandoff::tick() {
    for (const auto& command : repairCommands()) m_run(command);

    std::error_code ec;
    const fs::path lock = m_folder.lockFile();
    const fs::file_status status = fs::status(lock, ec);
    if (ec || !fs::exists(status)) return Tick::NoLockFile;
    if ((status.permissions() & fs::perms::mask) != fs::perms(0666)) {
        if (m_permissionWarning) {
            m_permissionWarning = false;
            m_warn(permissionWarning());
        }
        return Tick::WrongPermissions;
    }
    const auto size = fs::file_size(lock, ec);
    if (ec || size == 0) return Tick::NoRequest;

    std::ifstream in(lock, std::ios::binary);
    std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    // Text that is not UTF-8 is an empty request, which is consumed like any other.
    if (!in.good() && !in.eof()) text.clear();
    if (!isUtf8(text)) text.clear();

    Tick result = Tick::Consumed;
    if (const auto base = requestBaseName(text)) {
        const fs::path target = m_folder.root() / (*base + ".kprn");
        // A name that is not a plain file name, or a target planted as a link, could reach
        // outside the folder: the request is consumed and nothing opens.
        if (!isPlainFileName(*base)) {
            std::cerr << "preview request refused: job name is not a plain file name" << std::endl;
        } else if (fs::is_symlink(fs::symlink_status(target, ec))) {
            std::cerr << "preview request refused: " << target.string() << " is a symbolic link" << std::endl;
        } else {
            m_run(copyCommand(*base));
            m_open(target);
            result = Tick::Opened;
        }
    }
    m_folder.truncateLockFile();
    return result;
}

} // namespace brelmont::app
