#include "setup/Identify.h"

#include "printer/ModelTable.h"

#include <algorithm>
#include <cctype>
#include <optional>

namespace brelmont::setup {

namespace {

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}

std::string_view trimmed(std::string_view text) {
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front()))) text.remove_prefix(1);
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back()))) text.remove_suffix(1);
    return text;
}

// The value of "key=value" among the announcement's strings; none when absent.
std::optional<std::string> txtValue(const std::vector<std::string>& txt, std::string_view key) {
    for (const std::string& entry : txt) {
        const std::size_t equals = entry.find('=');
        if (equals != std::string::npos && equalsIgnoringCase(std::string_view(entry).substr(0, equals), key))
            return std::string(trimmed(std::string_view(entry).substr(equals + 1)));
    }
    return std::nullopt;
}

bool containsIgnoringCase(std::string_view text, std::string_view part) {
    return std::search(text.begin(), text.end(), part.begin(), part.end(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           }) != text.end();
}

} // namespace

std::string deviceIdField(std::string_view deviceId, std::string_view key) {
    std::size_t at = 0;
    while (at < deviceId.size()) {
        const std::size_t end = std::min(deviceId.find(';', at), deviceId.size());
        const std::string_view field = deviceId.substr(at, end - at);
        const std::size_t colon = field.find(':');
        if (colon != std::string_view::npos && equalsIgnoringCase(trimmed(field.substr(0, colon)), key))
            return std::string(trimmed(field.substr(colon + 1)));
        at = end + 1;
    }
    return {};
}

const driver::ModelProfile* profileForDeviceId(std::string_view deviceId) {
    const int64_t code = printer::modelCode(deviceId);
    if (code < 1) return nullptr;
    std::string model = deviceIdField(deviceId, "MDL");
    if (model.empty()) model = deviceIdField(deviceId, "MODEL");
    return driver::profileForDevice(code, model);
}

std::string deviceIdFromAnnouncement(const std::vector<std::string>& txt) {
    const std::optional<std::string> make = txtValue(txt, "usb_MFG"), model = txtValue(txt, "usb_MDL");
    if (!make || !model || make->empty() || model->empty()) return {};
    return "MFG:" + *make + ";MDL:" + *model + ";";
}

bool announcementMayBeOurs(const std::vector<std::string>& txt) {
    if (const auto make = txtValue(txt, "usb_MFG"); make && !make->empty()) return equalsIgnoringCase(*make, "Brelmont");
    // Without a maker's key, the printer's description may still name one.
    for (const char* key : {"ty", "product"})
        if (const auto text = txtValue(txt, key); text && !text->empty()) return containsIgnoringCase(*text, "Brelmont");
    return true;
}

} // namespace brelmont::setup
