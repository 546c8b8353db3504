#include "cli/StatusCommand.h"

#include "cli/ExitCodes.h"
#include "printer/PjlHelper.h"
#include "room/RoomStatus.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <iostream>

namespace brelmont::cli {

namespace {

using room::EmbosserStatus;

QString qtext(const std::string& text) { return QString::fromStdString(text); }

// "READY (10001 ready)", or "not answering".
std::string stateText(const EmbosserStatus& e) {
    if (!e.answering) return "not answering";
    std::string code = e.code ? std::to_string(*e.code) + (e.codeText.empty() ? "" : " " + e.codeText) : "";
    if (e.online == false) code += code.empty() ? "offline" : ", offline";
    return e.display + (code.empty() ? "" : " (" + code + ")");
}

// "ink 1: OK 82 %, 2: OK 64 %", the reason it is not answering, or nothing.
std::string inkOrProblem(const EmbosserStatus& e) {
    if (!e.answering) return e.problem;
    std::string text;
    for (const room::InkState& ink : e.ink)
        text += (text.empty() ? "ink " : ", ") + ink.cartridge + ": " + ink.health + " " + ink.fill;
    return text;
}

QJsonObject toJson(const EmbosserStatus& e) {
    QJsonArray ink;
    for (const room::InkState& i : e.ink)
        ink.append(QJsonObject{{"cartridge", qtext(i.cartridge)}, {"health", qtext(i.health)}, {"fill", qtext(i.fill)}});
    const auto orNull = [](const auto& value, auto make) { return value ? QJsonValue(make(*value)) : QJsonValue(); };
    return {
        {"queue", qtext(e.printer.queue)},
        {"name", qtext(e.printer.name)},
        {"device", qtext(e.printer.deviceUri)},
        {"modelCode", double(e.printer.model)},
        {"model", qtext(e.model)},
        {"firmware", orNull(e.firmware, qtext)},
        {"answering", e.answering},
        {"state", e.answering ? qtext(e.display) : QStringLiteral("not answering")},
        {"code", orNull(e.code, [](int64_t c) { return double(c); })},
        {"codeText", qtext(e.codeText)},
        {"online", orNull(e.online, [](bool b) { return b; })},
        {"ink", ink},
        {"problem", qtext(e.problem)},
    };
}

} // namespace

int runStatus(const std::vector<std::string>& args) {
    const bool json = args.size() == 1 && args[0] == "--json";
    if (!args.empty() && !json) {
        std::cerr << "usage: brelmont-cli status [--json]\n";
        return ExitRefused;
    }
    const std::vector<EmbosserStatus> room =
        room::roomStatus(printer::Printers(), {printer::PjlHelper::exchange, printer::PjlHelper::exchangeData});
    if (json) {
        QJsonArray all;
        for (const EmbosserStatus& e : room) all.append(toJson(e));
        std::cout << QJsonDocument(all).toJson(QJsonDocument::Indented).toStdString();
        return ExitOk;
    }
    for (const EmbosserStatus& e : room)
        std::cout << e.printer.queue << '\t' << e.model << '\t' << e.firmware.value_or("-") << '\t' << stateText(e) << '\t'
                  << inkOrProblem(e) << '\n';
    return ExitOk;
}

} // namespace brelmont::cli
