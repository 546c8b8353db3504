#include "firmware/net/CatalogueJson.h"

#include "common/json/JsonFields.h"
#include "firmware/net/UpdateServer.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QRegularExpression>

namespace brelmont::firmware {

namespace {

// Catalogue texts are shown to the person as they are read.
std::optional<std::string> text(const QJsonObject& object, const char* key) {
    return json::shownText(object.value(QLatin1String(key)));
}

std::optional<int64_t> wholeNumber(const QJsonObject& object, const char* key) {
    return json::wholeNumber(object.value(QLatin1String(key)));
}

std::optional<CatalogueEntry> entry(const QJsonValue& value) {
    if (!value.isObject()) return std::nullopt;
    const QJsonObject object = value.toObject();
    CatalogueEntry j;
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

std::optional<FirmwareCatalogue> decodeCatalogue(const QByteArray& body) {
    const std::optional<QJsonObject> document = json::parseObject(body);
    if (!document) return std::nullopt;
    const QJsonValue fw = document->value(QLatin1String("fw"));
    if (!fw.isArray()) return std::nullopt;
    FirmwareCatalogue catalogue;
    for (const QJsonValue& value : fw.toArray()) {
        std::optional<CatalogueEntry> j = entry(value);
        if (!j) return std::nullopt;
        catalogue.fw.push_back(std::move(*j));
    }
    return catalogue;
}

} // namespace brelmont::firmware
