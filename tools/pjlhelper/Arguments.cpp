#include "Arguments.h"

#include "Failure.h"

#include "printer/HelperProtocol.h"

namespace brelmont::pjlhelper {

namespace {

constexpr const char* Usage = "expected no arguments, \"--probe\" and addresses, or five digits, a file and a device address";

bool isDigit(const std::string& text) { return text.size() == 1 && text[0] >= '0' && text[0] <= '9'; }

} // namespace

std::optional<std::vector<std::string>> parseListingArguments(const std::vector<std::string>& arguments) {
    if (arguments.empty()) return std::vector<std::string>();
    if (arguments[0] != printer::helper::ProbeOption) return std::nullopt;
    return std::vector<std::string>(arguments.begin() + 1, arguments.end());
}

ExchangeArguments parseExchangeArguments(const std::vector<std::string>& arguments) {
    if (arguments.size() != 7) throw Failure("reading the arguments", Usage, printer::helper::ExitBadArguments);
    for (std::size_t i = 0; i < 5; ++i)
        if (!isDigit(arguments[i]))
            throw Failure("reading the arguments", "\"" + arguments[i] + "\" is not a digit; " + Usage,
                          printer::helper::ExitBadArguments);
    if (arguments[6].empty()) throw Failure("reading the arguments", "no device address", printer::helper::ExitBadArguments);

    ExchangeArguments parsed;
    parsed.sendFile = arguments[0] == "1";
    parsed.readReply = arguments[1] == "1";
    parsed.file = arguments[5];
    parsed.device = arguments[6];
    return parsed;
}

} // namespace brelmont::pjlhelper
