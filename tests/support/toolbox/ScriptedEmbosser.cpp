#include "ScriptedEmbosser.h"

#include <algorithm>
#include <regex>

namespace brelmont::testing {

using printer::PjlItem;

ScriptedEmbosser::ScriptedEmbosser() : m_state(std::make_shared<State>()) {
    // clang-format off
    m_state->lists["variables"] = {
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
    m_state->lists["versions"] = {{"FWPRIMARY", "3.0.1"}, {"FWSECONDARY", "1.1.0"}, {"SIAFW", "2.2.0"}, {"SIASN", "SIA-77"}};
    m_state->lists["status"] = {{"CODE", "10001"}, {"DISPLAY", "READY TO EMBOSS"}, {"INKHEALTH0", "4095"},
                                {"INKHEALTH1", "4095"}, {"INKLEVEL0", "71"}, {"INKLEVEL1", "33"}};
    m_state->lists["legacy"] = {{"MEDIATYPE", "PLAIN"}, {"CHARSPERLINE", "30"}};
    m_state->lists["sensors"] = {{"TEMP0", "29"}, {"PAPER0", "1"}, {"UNKNOWN", "x"}, {"HOUSING", "OPEN"}, {"PAPER1", "0"}};
    // clang-format on
}

printer::PrinterItem ScriptedEmbosser::queue(int64_t model, std::string name) {
    return {Uri, "Lab_Queue", std::move(name), model, true, {}};
}

ScriptedEmbosser::Items ScriptedEmbosser::list(const std::string& query) const {
    return locked([&](State& s) { return s.lists.count(query) ? s.lists[query] : Items{}; });
}

void ScriptedEmbosser::set(const std::string& query, const std::string& key, const std::string& value) {
    locked([&](State& s) {
        Items& items = s.lists[query];
        const auto found = std::find_if(items.begin(), items.end(), [&](const PjlItem& i) { return i.key == key; });
        if (found != items.end()) found->value = value;
        else items.push_back({key, value});
    });
}

void ScriptedEmbosser::refuse(const std::string& query, int count) {
    locked([&](State& s) { s.refusals[query] = count; });
}

void ScriptedEmbosser::miscount(const std::string& query) {
    locked([&](State& s) { s.miscount[query] = true; });
}

void ScriptedEmbosser::fail(printer::ExchangeStatus status, int count) {
    locked([&](State& s) { s.failure = status, s.failures = count; });
}

void ScriptedEmbosser::keep(const std::string& key) {
    locked([&](State& s) { s.kept.push_back(key); });
}

void ScriptedEmbosser::takeWrites(State& state, const std::string& request) {
    static const std::regex command("@PJL DEFAULT ([^=\n]*)=([^\n]*)");
    for (std::sregex_iterator it(request.begin(), request.end(), command), end; it != end; ++it) {
        const std::string key = (*it)[1];
        std::string value = (*it)[2];
        if (value.size() >= 2 && value.front() == '"' && value.back() == '"') value = value.substr(1, value.size() - 2);
        if (std::find(state.kept.begin(), state.kept.end(), key) != state.kept.end()) continue;
        for (auto& [query, items] : state.lists)
            for (PjlItem& item : items)
                if (item.key == key) item.value = value;
    }
}

printer::PjlExchange ScriptedEmbosser::exchange() const {
    return [state = m_state](const std::string& request, const std::string& device,
                             const printer::ExchangeBounds&) -> printer::ExchangeResult {
        const std::lock_guard lock(state->mutex);
        const auto ended = [](printer::ExchangeStatus status, std::string reason = {}) {
            return printer::ExchangeResult{{status, std::move(reason)}, {}};
        };
        state->requests.push_back(request);
        if (device != Uri) return ended(printer::ExchangeStatus::NotAttached);
        if (state->failures > 0) {
            --state->failures;
            return ended(state->failure, "scripted failure");
        }
        takeWrites(*state, request);
        return {{}, reply(*state, request)};
    };
}

std::vector<std::string> ScriptedEmbosser::requests() const {
    return locked([](State& s) { return s.requests; });
}

std::vector<std::string> ScriptedEmbosser::writes() const {
    const auto& queries = printer::pjl::queries();
    std::vector<std::string> out = requests();
    std::erase_if(out, [&](const std::string& r) {
        return std::any_of(queries.begin(), queries.end(), [&](const printer::PjlQuery* q) { return q->request == r; });
    });
    return out;
}

// The reply to a query, shaped as the embossers send it; anything else gets an empty reply. An
// empty list announces no entries, which the toolbox refuses like a spoilt header.
printer::ReplyLines ScriptedEmbosser::reply(State& state, const std::string& request) {
    for (const printer::PjlQuery* q : printer::pjl::queries()) {
        const std::string name(q->name);
        const size_t info = q->request.find("@PJL INFO");
        if (request != q->request || info == std::string_view::npos || !state.lists.count(name)) continue;
        const Items& items = state.lists[name];
        const bool spoilt = state.refusals[name] > 0;
        if (spoilt) --state.refusals[name];
        const size_t announced = items.size() + (state.miscount[name] ? 1 : 0);
        state.miscount[name] = false;
        std::string header(q->request.substr(info)); // "@PJL INFO X\n"
        header.pop_back();
        printer::ReplyLines lines{(spoilt ? "@JPL" + header.substr(4) : header) + " [" + std::to_string(announced) + " ENTRIES]"};
        for (const PjlItem& item : items)
            lines.push_back(item.key + "=" + (item.value.find(' ') != std::string::npos ? "\"" + item.value + "\"" : item.value));
        return lines;
    }
    return {};
}

} // namespace brelmont::testing
