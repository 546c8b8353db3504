#include "firmware/net/CatalogueJson.h"

#include "firmware/net/UpdateServer.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>

#include <cmath>
#include <cstdio>

namespace brelmont::firmware {

namespace {

// A text of the catalogue as it may be shown: control characters (which could clear a terminal or
// write a line of their own) are written as \xHH.
std::optional<std::string> text(const QJsonObject& object, const char* key) {
    const QJsonValue value = object.value(QLatin1String(key));
    if (!value.isString()) return std::nullopt;
    std::string shown;
    for (const char32_t u : value.toString().toUcs4()) {
        if (u < 0x20 || (u >= 0x7F && u < 0xA0)) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\x%02X", unsigned(u));
            shown += escaped;
        } else {
            shown += QString::fromUcs4(&u, 1).toStdString();
        }
    }
    return shown;
}

// JSON numbers are doubles: only whole ones within the range a double holds exactly count.
std::optional<int64_t> wholeNumber(const QJsonObject& object, const char* key) {
    const QJsonValue value = object.value(QLatin1String(key));
    if (!value.isDouble()) return std::nullopt;
    const double number = value.toDouble();
    if (!std::isfinite(number) || std::trunc(number) != number || std::fabs(number) > 9007199254740992.0) return std::nullopt;
    return int64_t(number);
}

std::optional<Jason> entry(const QJsonValue& value) {
    if (!value.isObject()) return std::nullopt;
    const QJsonObject object = value.toObject();
    Jason j;
    const auto version = text(object, "version"), url = text(object, "url"), ext = text(object, "ext");
    const auto model = wholeNumber(object, "model"), size = wholeNumber(object, "size");
    // A file of no bytes, or of more than a firmware file may have, is not one to offer.
    if (!version || !url || !ext || !model || !size || *size < 1 || *size > MaxFirmwareBytes) return std::nullopt;
    j = {*version, *url, *ext, *model, *size, std::nullopt};
    if (object.contains(QLatin1String("sha256"))) {
        static const QRegularExpression hex(QStringLiteral("^[0-9A-Fa-f]{64}$"));
        const auto digest = text(object, "sha256");
        if (!digest || !hex.match(QString::fromStdString(*digest)).hasMatch()) return std::nullopt;
        j.sha256 = *digest;
    }
    return j;
}

} // namespace

std::optional<Jasons> decodeCatalogue(const QByteArray& body) {
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(body, &error);
    if (error.error != QJsonParseError::NoError || !document.isObject()) return std::nullopt;
    const QJsonValue fw = document.object().value(QLatin1String("fw"));
    if (!fw.isArray()) return std::nullopt;
    Jasons catalogue;
    for (const QJsonValue& value : fw.toArray()) {
        std::optional<Jason> j = entry(value);
        if (!j) return std::nullopt;
        catalogue.fw.push_back(std::move(*j));
    }
    return catalogue;
}

} // namespace brelmont::firmware
