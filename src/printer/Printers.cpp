#include "printer/Printers.h"

#include "printer/CommandRunner.h"
#include "printer/ModelTable.h"
#include "printer/PjlHelper.h"
#include "printer/ShellQuote.h"
#include "printer/TextLines.h"

#include <algorithm>

namespace brelmont::printer {

Printers::Printers() {
    const std::vector<std::string> queues = splitLines(CommandRunner::run("lpstat -e").value_or(std::string()));
    const std::vector<std::string> listing = PjlHelper::deviceListing();
    for (const std::string& queue : queues) {
        if (queue.empty()) continue;
        const std::string options = CommandRunner::run("lpoptions -p " + shellWord(queue)).value_or(std::string());
        const std::string makeAndModel = optionValue(options, "printer-make-and-model=");
        const int64_t code = modelCode("printer-make-and-model=" + makeAndModel);
        if (code < 1) continue;
        const std::string deviceUri = optionValue(options, "device-uri=");
        m_makeAndModel.push_back(makeAndModel);
        m_printerNames.push_back(optionValue(options, "printer-info="));
        m_deviceUris.push_back(deviceUri);
        m_queues.push_back(queue);
        m_modelNumbers.push_back(code);
        m_connected.push_back(std::any_of(listing.begin(), listing.end(),
                                          [&](const std::string& line) { return lineNamesDevice(line, deviceUri); }));
    }
}

std::vector<PrinterItem> Printers::items() const {
    std::vector<PrinterItem> items;
    for (size_t i = 0; i < m_queues.size(); ++i)
        items.push_back({m_deviceUris[i], m_queues[i], m_printerNames[i], m_modelNumbers[i], m_connected[i]});
    return items;
}

std::string Printers::findAttachedDevice(int64_t code) {
    for (const std::string& line : PjlHelper::deviceListing())
        if (modelCode(line) == code) return line;
    return {};
}

// One pass: a mismatch sets the match back to the key's start without trying the character again.
std::string Printers::optionValue(std::string_view text, std::string_view key) {
    if (key.empty()) return {};
    size_t p = 0, i = 0;
    for (; i < text.size() && p < key.size(); ++i) p = text[i] == key[p] ? p + 1 : 0;
    if (p < key.size() || i >= text.size()) return {};
    const bool quoted = text[i] == '\'';
    const char end = quoted ? '\'' : ' ';
    const size_t from = quoted ? i + 1 : i;
    const size_t to = text.find(end, from);
    return std::string(text.substr(from, to == std::string_view::npos ? std::string_view::npos : to - from));
}

// "socket://host:910" must not be taken for "socket://host:9100", nor "?serial=12" for "?serial=123".
bool Printers::lineNamesDevice(std::string_view line, std::string_view deviceUri) {
    if (deviceUri.empty()) return false;
    const auto delimiter = [](char c) { return c == ' ' || c == '\t' || c == '"' || c == '\''; };
    for (size_t at = line.find(deviceUri); at != std::string_view::npos; at = line.find(deviceUri, at + 1)) {
        const size_t end = at + deviceUri.size();
        if ((at == 0 || delimiter(line[at - 1])) && (end == line.size() || delimiter(line[end]))) return true;
    }
    return false;
}

} // namespace brelmont::printer
