#include "printer/ParameterValue.h"

namespace brelmont::printer {

std::string keepValueCharacters(std::string_view text) {
    std::string kept;
    for (const char c : text) {
        const auto u = static_cast<unsigned char>(c);
        if ((u >= 0x20 && u <= 0x3B) || (u >= 'A' && u <= '_') || (u >= 'a' && u <= '~')) kept += c;
    }
    return kept;
}

std::optional<std::string> readParameterValue(const ReplyLines& reply, std::string_view question) {
    for (size_t i = 0; i < reply.size(); ++i)
        if (reply[i].find(question) != std::string::npos)
            return i + 1 < reply.size() ? std::optional(keepValueCharacters(reply[i + 1])) : std::nullopt;
    return std::nullopt;
}

ParameterValue askParameterValue(const std::string& question, const std::string& device, const PjlExchange& exchange,
                                 const ExchangeBounds& bounds) {
    const std::string request = std::string(pjl::UniversalExit) + question + "\n";
    ParameterValue result;
    for (int sends = 1; sends <= MaxSends; ++sends) {
        const ExchangeResult reply = exchange(request, device, bounds);
        if (!reply.ok()) {
            result.outcome = reply;
            if (reply.status != ExchangeStatus::Dropped) return result;
            continue;
        }
        if (std::optional<std::string> value = readParameterValue(reply.reply, question)) {
            result.value = std::move(*value);
            result.outcome = {};
            return result;
        }
        result.outcome = {ExchangeStatus::NotUnderstood,
                          "no reply held the value of " + question + " in " + std::to_string(sends) + " sends"};
    }
    return result;
}

} // namespace brelmont::printer
