#include "cli/FirmwareCommand.h"

#include "cli/ExitCodes.h"
#include "firmware/FirmwareUpdate.h"
#include "firmware/net/CatalogueJson.h"
#include "firmware/net/UpdateServer.h"
#include "printer/Printers.h"

#include <QCoreApplication>
#include <QCryptographicHash>

#include <iostream>
#include <optional>

namespace brelmont::cli {

namespace {

using firmware::FirmwareState;
using firmware::FirmwareUpdate;

constexpr int ExitNoUpdate = 3;
constexpr int ExitNotInUpdateMode = 4;

constexpr const char* Usage =
    "usage: brelmont-cli firmware check [--queue QUEUE]\n"
    "       brelmont-cli firmware update [--queue QUEUE] --yes\n"
    "check prints whether the update server offers newer firmware for the attached embosser (by\n"
    "default the first one the device listing names): exit 0 when it does, 3 when not, 1 when the\n"
    "embosser or the catalogue could not be had.\n"
    "update also downloads the file, checks it, and sends it to the embosser: exit 0 when the file\n"
    "was handed over, 3 when nothing is offered, 4 when the embosser must first be put in update mode\n"
    "(the instruction is printed), 1 on a refused download or a failed send.\n"
    "The server is BRELMONT_UPDATE_ROOT (or the setting firmware/root); BRELMONT_CA_FILE adds\n"
    "certificate authorities.\n";

// The check: the embosser, its version and the catalogue; `status` set when it cannot go on.
std::optional<FirmwareUpdate> check(const std::optional<std::string>& queue, int& status) {
    FirmwareUpdate update;
    const auto stop = std::make_shared<printer::StopSignal>();
    const firmware::EmbosserCheck found = firmware::checkEmbosser(queue, firmware::systemChannels(stop));
    if (!found.embosser) {
        std::cerr << firmware::NoDeviceMessage << '\n';
        status = ExitFailed;
        return std::nullopt;
    }
    QString error;
    const std::optional<QByteArray> body =
        firmware::fetchAndWait(firmware::catalogueUrl(), firmware::MaxCatalogueBytes, firmware::CatalogueDeadlineMs, &error);
    const std::optional<firmware::FirmwareCatalogue> catalogue = body ? firmware::decodeCatalogue(*body) : std::nullopt;
    update.checked(*found.embosser, found.version, catalogue);
    std::cout << update.info();
    if (!catalogue) {
        std::cerr << "brelmont-cli: firmware: " << firmware::catalogueUrl().toString().toStdString() << ": "
                  << (body ? std::string("not a firmware catalogue") : error.toStdString()) << '\n';
        status = ExitFailed;
        return std::nullopt;
    }
    return update;
}

int download(FirmwareUpdate& update) {
    QString error;
    const std::optional<QByteArray> body = firmware::fetchAndWait(QUrl(QString::fromStdString(update.entry()->url)),
                                                                  update.entry()->size, firmware::FirmwareDeadlineMs, &error);
    const std::string digest =
        body ? QCryptographicHash::hash(*body, QCryptographicHash::Sha256).toHex().toStdString() : std::string();
    if (!body || !update.received(std::vector<uint8_t>(body->begin(), body->end()), digest)) {
        std::cerr << firmware::DownloadRefusedMessage;
        if (!body) std::cerr << " (" << error.toStdString() << ")";
        std::cerr << '\n';
        return ExitFailed;
    }
    return ExitOk;
}

int send(FirmwareUpdate& update) {
    const auto stop = std::make_shared<printer::StopSignal>();
    const std::string line = firmware::deviceLineNow(*update.embosser(), stop);
    if (const std::string_view alert = update.startSending(line); !alert.empty()) {
        std::cerr << alert << '\n';
        return ExitNotInUpdateMode;
    }
    if (update.state() != FirmwareState::Sending) {
        std::cerr << "brelmont-cli: firmware: this embosser has no firmware transport\n";
        return ExitFailed;
    }
    std::cout << "\nSending firmware file to Embosser.\nDon't turn off the device until it has finished!\n";
    firmware::AttachedEmbosser target = *update.embosser();
    target.deviceLine = line;
    const printer::ExchangeOutcome outcome = firmware::sendFirmware(update.firmware(), update.plan(), target, stop);
    update.sendFinished(outcome);
    if (!outcome.ok()) {
        std::cerr << "brelmont-cli: firmware: the file was not sent: " << outcome.describe() << '\n';
        return ExitFailed;
    }
    return ExitOk;
}

} // namespace

int runFirmware(const std::vector<std::string>& args) {
    if (!args.empty() && args[0] == "--help") {
        std::cout << Usage;
        return ExitOk;
    }
    std::optional<std::string> queue;
    bool yes = false, wrong = args.empty();
    for (size_t i = 1; i < args.size() && !wrong; ++i) {
        if (args[i] == "--queue" && i + 1 < args.size() && !queue) queue = args[++i];
        else if (args[i] == "--yes" && !yes) yes = true;
        else wrong = true;
    }
    const bool checking = !wrong && args[0] == "check" && !yes;
    const bool updating = !wrong && args[0] == "update" && yes;
    if (!checking && !updating) {
        std::cerr << Usage;
        return ExitRefused;
    }

    int argc = 1;
    char name[] = "brelmont-cli";
    char* argv[] = {name, nullptr};
    QCoreApplication application(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("Brelmont"));
    QCoreApplication::setApplicationName(QStringLiteral("Brelmont Companion"));

    int status = ExitOk;
    std::optional<FirmwareUpdate> update = check(queue, status);
    if (!update) return status;
    if (update->state() != FirmwareState::Offered) return ExitNoUpdate;
    if (checking) return ExitOk;
    if (const int downloaded = download(*update); downloaded != ExitOk) return downloaded;
    return send(*update);
}

} // namespace brelmont::cli
