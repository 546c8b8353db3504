#include "ScriptedDevice.h"

#include <algorithm>

namespace brelmont::testing {

using printer::PjlItem;

ScriptedDevice::ScriptedDevice() {
    m_lists["variables"] = {
        {"MODEL", "Orvin 200"},     {"SERIALNUMBER", "LAB-0007"},  {"MACPHY", "02:00:00:00:00:07"},
        {"DHCP", "OFF"},            {"IPADDRESS", "10.1.2.3"},     {"SUBNET", "255.255.0.0"},
        {"GATEWAY", "10.1.0.1"},    {"FORMWIDTH", "170"},          {"FORMHEIGHT", "220"},
        {"TOPMARGIN", "5"},         {"LEFTMARGIN", "15"},          {"RIGHTMARGIN", "3"},
        {"EXTRALINESPACE", "0"},    {"AUTOCR", "OFF"},             {"QUALITY", "BEST"},
        {"BRAILLEDOTS", "8"},       {"GRAPHICS", "ON"},            {"TABLE", "3"},
        {"BRAILLEFORCE", "LIGHT"},  {"DUPLEXMODE", "SIMPLEX"},     {"BRAILLEPAPERMEDIAMIN", "121"},
        {"BRAILLEPAPERMEDIAMAX", "181"}, {"LIGHTBRAILLEMEDIAMIN", "91"}, {"LIGHTBRAILLEMEDIAMAX", "119"},
        {"COPYPAPERMEDIAMIN", "61"}, {"COPYPAPERMEDIAMAX", "89"},  {"PREMIUMPAPERMEDIAMIN", "92"},
        {"PREMIUMPAPERMEDIAMAX", "118"}, {"CARDSTOCKMEDIAMIN", "161"}, {"CARDSTOCKMEDIAMAX", "249"},
        {"CUSTOMMEDIAMIN", "101"},  {"CUSTOMMEDIAMAX", "159"},     {"FLAGS", "12"},
        {"PRIMARYCARRIAGE", "1"},   {"INKTOPMARGIN", "14"},        {"INKLEFTMARGIN", "6"},
        {"INKSKEW", "2"},           {"INKCARTSPACE", "530"},
    };
    m_lists["versions"] = {{"FWPRIMARY", "3.0.1"}, {"FWSECONDARY", "1.1.0"}, {"SIAFW", "2.2.0"}, {"SIASN", "SIA-77"}};
    m_lists["status"] = {{"CODE", "10001"}, {"DISPLAY", "READY TO EMBOSS"}, {"INKHEALTH0", "4095"},
                         {"INKHEALTH1", "4095"}, {"INKLEVEL0", "71"}, {"INKLEVEL1", "33"}};
    m_lists["legacy"] = {{"MEDIATYPE", "PLAIN"}, {"CHARSPERLINE", "30"}};
    m_lists["sensors"] = {{"TEMP0", "29"}, {"PAPER0", "1"}, {"UNKNOWN", "x"}, {"HOUSING", "OPEN"}, {"PAPER1", "0"}};
}

void ScriptedDevice::set(const std::string& query, const std::string& key, const std::string& value) {
    auto& items = m_lists[query];
    const auto found = std::find_if(items.begin(), items.end(), [&](const PjlItem& i) { return i.key == key; });
    if (found != items.end()) found->value = value;
    else items.push_back({key, value});
}

printer::PrinterItem ScriptedDevice::queue(int64_t model, std::string name) {
    return {Uri, "Lab_Queue", std::move(name), model, true};
}

printer::PjlExchange ScriptedDevice::exchange() {
    return [this](const std::string& request, const std::string& device) {
        m_requests.push_back(request);
        return device == Uri ? reply(request) : printer::ReplyLines{};
    };
}

int ScriptedDevice::sent(const std::string& request) const {
    return int(std::count(m_requests.begin(), m_requests.end(), request));
}

std::vector<std::string> ScriptedDevice::writes() const {
    std::vector<std::string> out;
    for (const std::string& r : m_requests)
        if (r.find("@PJL INFO") == std::string::npos) out.push_back(r);
    return out;
}

// The reply to an INFO query, shaped as the embossers send it; others get an empty reply.
printer::ReplyLines ScriptedDevice::reply(const std::string& request) {
    for (const printer::PjlQuery* q : printer::pjl::queries()) {
        if (request != q->request || !m_lists.count(std::string(q->name))) continue;
        const std::string name(q->name);
        const auto& items = m_lists[name];
        const bool spoilt = m_refusals[name] > 0;
        if (spoilt) --m_refusals[name];
        const size_t announced = items.size() + (m_miscount[name] ? 1 : 0);
        m_miscount[name] = false;
        std::string header = std::string(q->request.substr(q->request.find("@PJL INFO"))); // "@PJL INFO X\n"
        header.pop_back();
        printer::ReplyLines lines{(spoilt ? "@JPL" + header.substr(4) : header) + " [" + std::to_string(announced) + " ENTRIES]"};
        for (const PjlItem& item : items)
            lines.push_back(item.key + "=" + (item.value.find(' ') != std::string::npos ? "\"" + item.value + "\"" : item.value));
        return lines;
    }
    return {};
}

} // namespace brelmont::testing
