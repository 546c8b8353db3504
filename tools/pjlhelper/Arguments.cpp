#include "Arguments.h"

#include "Failure.h"

namespace brelmont::pjlhelper {

namespace {

constexpr const char* Usage = "expected no arguments, or five digits, a file and a device address";

bool isDigit(const std::string& text) { return text.size() == 1 && text[0] >= '0' && text[0] <= '9'; }

} // namespace

ExchangeArguments parseExchangeArguments(const std::vector<std::string>& arguments) {
    if (arguments.size() != 7) throw Failure("reading the arguments", Usage);
    for (std::size_t i = 0; i < 5; ++i)
        if (!isDigit(arguments[i]))
            throw Failure("reading the arguments", "\"" + arguments[i] + "\" is not a digit; " + Usage);
    if (arguments[6].empty()) throw Failure("reading the arguments", "no device address");

    ExchangeArguments parsed;
    parsed.sendFile = arguments[0] == "1";
    parsed.readReply = arguments[1] == "1";
    parsed.file = arguments[5];
    parsed.device = arguments[6];
    return parsed;
}

} // namespace brelmont::pjlhelper
