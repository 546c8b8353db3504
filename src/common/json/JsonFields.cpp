#include "common/json/JsonFields.h"

#include <QJsonDocument>
#include <QJsonParseError>

#include <cmath>
#include <cstdio>

namespace brelmont::json {

std::optional<QJsonObject> parseObject(const QByteArray& bytes, std::string* why) {
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(bytes, &error);
    if (error.error != QJsonParseError::NoError) {
        if (why) *why = error.errorString().toStdString() + " at byte " + std::to_string(error.offset);
        return std::nullopt;
    }
    if (!document.isObject()) {
        if (why) *why = "the file holds no object";
        return std::nullopt;
    }
    return document.object();
}

std::optional<std::string> exactText(const QJsonValue& value) {
    if (!value.isString()) return std::nullopt;
    return value.toString().toStdString();
}

std::optional<std::string> shownText(const QJsonValue& value) {
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
std::optional<int64_t> wholeNumber(const QJsonValue& value) {
    if (!value.isDouble()) return std::nullopt;
    const double number = value.toDouble();
    if (!std::isfinite(number) || std::trunc(number) != number || std::fabs(number) > 9007199254740992.0) return std::nullopt;
    return int64_t(number);
}

} // namespace brelmont::json
