#include "FakeEmbosser.h"

namespace toolboxtest {

using brelmont::printer::PjlItem;
using brelmont::printer::PrinterItem;
using brelmont::printer::ReplyLines;

FakeEmbosser::FakeEmbosser() : m_state(std::make_shared<State>()) {
    m_state->lists["VARIABLES"] = {
        {"MODEL", "Orvin 200"},       {"SERIALNUMBER", "ORV-0001"},  {"MACPHY", "00:11:22:33:44:55"},
        {"DHCP", "OFF"},              {"IPADDRESS", "10.0.0.7"},     {"SUBNET", "255.255.255.0"},
        {"GATEWAY", "10.0.0.1"},      {"FORMWIDTH", "170"},          {"FORMHEIGHT", "220"},
        {"TOPMARGIN", "10"},          {"LEFTMARGIN", "10"},          {"RIGHTMARGIN", "10"},
        {"EXTRALINESPACE", "0"},      {"AUTOCR", "ON"},              {"QUALITY", "STANDARD"},
        {"BRAILLEDOTS", "6"},         {"GRAPHICS", "OFF"},           {"TABLE", "3"},
        {"BRAILLEFORCE", "NORMAL"},   {"DUPLEXMODE", "SIMPLEX"},     {"BRAILLEPAPERMEDIAMIN", "120"},
        {"BRAILLEPAPERMEDIAMAX", "180"}, {"LIGHTBRAILLEMEDIAMIN", "90"}, {"LIGHTBRAILLEMEDIAMAX", "120"},
        {"COPYPAPERMEDIAMIN", "60"},  {"COPYPAPERMEDIAMAX", "90"},   {"PREMIUMPAPERMEDIAMIN", "95"},
        {"PREMIUMPAPERMEDIAMAX", "125"}, {"CARDSTOCKMEDIAMIN", "160"}, {"CARDSTOCKMEDIAMAX", "250"},
        {"CUSTOMMEDIAMIN", "100"},    {"CUSTOMMEDIAMAX", "160"},     {"FLAGS", "12"},
        {"PRIMARYCARRIAGE", "1"},     {"INKTOPMARGIN", "12"},        {"INKLEFTMARGIN", "8"},
        {"INKSKEW", "0"},             {"INKCARTSPACE", "540"},       {"NICKNAME", "Lab embosser"},
    };
    m_state->lists["VERSIONS"] = {{"FWPRIMARY", "1.4.2"}, {"SIAFW", "2.1.0"}, {"SIASN", "SIA-0311"}};
    m_state->lists["STATUS"] = {{"CODE", "10001"},       {"DISPLAY", "READY TO EMBOSS"}, {"INKHEALTH0", "4095"},
                                {"INKHEALTH1", "0"},     {"INKLEVEL0", "82"},            {"INKLEVEL1", "64"}};
    m_state->lists["LEGACY"] = {{"MEDIATYPE", "PLAIN"}, {"CHARSPERLINE", "32"}};
    m_state->lists["SENSORS"] = {{"PAPER0", "1"}, {"PAPER1", "0"}, {"TEMP0", "31"}, {"UNKNOWN", "7"}};
}

FakeEmbosser::Items& FakeEmbosser::list(const std::string& word) { return m_state->lists[word]; }

void FakeEmbosser::set(const std::string& key, const std::string& value) {
    for (auto& [word, items] : m_state->lists)
        for (PjlItem& item : items)
            if (item.key == key) item.value = value;
}

void FakeEmbosser::refuse(int count) { m_state->refusals = count; }

void FakeEmbosser::holdReplies() { m_state->held = true; }

void FakeEmbosser::open() {
    {
        const std::lock_guard lock(m_state->mutex);
        m_state->held = false;
    }
    m_state->opened.notify_all();
}

brelmont::printer::PjlExchange FakeEmbosser::exchange() {
    return [state = m_state](const std::string& request, const std::string& device) -> ReplyLines {
        if (device != FakeUri) return {};
        return reply(*state, request);
    };
}

// INFO queries get the device's list in the embosser's reply shape; anything else gets no reply.
ReplyLines FakeEmbosser::reply(State& state, const std::string& request) {
    std::unique_lock lock(state.mutex);
    state.log.push_back(request);
    state.opened.wait(lock, [&] { return !state.held; });
    const std::string info = "@PJL INFO ";
    const size_t at = request.find(info);
    if (at == std::string::npos) return {};
    const std::string word = request.substr(at + info.size(), request.find('\n', at) - at - info.size());
    if (state.refusals > 0) {
        --state.refusals;
        return {"@JPL INFO " + word + " [1 ENTRIES]", "X=1"};
    }
    const Items& items = state.lists[word];
    if (items.empty()) return {"@PJL INFO " + word, "?"};
    ReplyLines lines{"@PJL INFO " + word + " [" + std::to_string(items.size()) + " ENTRIES]"};
    for (const PjlItem& item : items)
        lines.push_back(item.key + "=" + (item.value.find(' ') == std::string::npos ? item.value : '"' + item.value + '"'));
    return lines;
}

std::vector<std::string> FakeEmbosser::requests() const {
    const std::lock_guard lock(m_state->mutex);
    return m_state->log;
}

std::vector<std::string> FakeEmbosser::writes() const {
    std::vector<std::string> writes;
    for (const std::string& request : requests())
        if (request.find("@PJL INFO ") == std::string::npos) writes.push_back(request);
    return writes;
}

PrinterItem FakeEmbosser::queue(int64_t model) {
    return {FakeUri, "Orvin_200", "Orvin 200 in the lab", model, true};
}

} // namespace toolboxtest
