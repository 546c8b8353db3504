// Members of JSON from outside, read strictly: a member of the wrong type reads as absent, and a
// number counts only when it is whole and a double holds it exactly.
#pragma once

#include <QByteArray>
#include <QJsonObject>
#include <QJsonValue>

#include <cstdint>
#include <optional>
#include <string>

namespace brelmont::json {

// The document's top-level object; none for a syntax error or any other top level, with why.
std::optional<QJsonObject> parseObject(const QByteArray& bytes, std::string* why = nullptr);

// A text as UTF-8, as it is.
std::optional<std::string> exactText(const QJsonValue& value);
// A text as it may be shown: control characters (which could clear a terminal or write a line of
// their own) are written as \xHH.
std::optional<std::string> shownText(const QJsonValue& value);
std::optional<int64_t> wholeNumber(const QJsonValue& value);

} // namespace brelmont::json
