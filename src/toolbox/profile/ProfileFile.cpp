#include "toolbox/profile/ProfileFile.h"

#include "common/json/JsonFields.h"

#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>
#include <fstream>

namespace brelmont::toolbox {

namespace {

QString qtext(std::string_view text) { return QString::fromUtf8(text.data(), qsizetype(text.size())); }

QJsonValue toJson(const ControlValue& value) {
    if (const auto* text = std::get_if<std::string>(&value)) return qtext(*text);
    if (const auto* on = std::get_if<bool>(&value)) return *on;
    return double(std::get<int64_t>(value));
}

std::optional<ControlValue> fromJson(const QJsonValue& value) {
    if (value.isBool()) return value.toBool();
    if (const auto text = json::exactText(value)) return *text;
    if (const auto number = json::wholeNumber(value)) return *number;
    return std::nullopt;
}

// Controls are named by their outlets; any other name is refused before it is ever shown.
bool controlName(const QString& name) {
    return !name.isEmpty() && std::all_of(name.begin(), name.end(), [](QChar c) {
        return c.unicode() < 0x80 && (c.isLetterOrNumber() || c == QLatin1Char('_'));
    });
}

} // namespace

std::string encodeProfile(const SettingsProfile& profile) {
    QJsonObject settings;
    for (const ProfileSetting& s : profile.settings) settings.insert(qtext(s.control), toJson(s.value));
    const QJsonObject object{{"family", double(profile.family)},
                             {"model", qtext(profile.model)},
                             {"firmware", qtext(profile.firmware)},
                             {"settings", settings}};
    return QJsonDocument(object).toJson(QJsonDocument::Indented).toStdString();
}

std::optional<SettingsProfile> decodeProfile(std::string_view bytes, std::string& why) {
    why.clear();
    if (bytes.size() > MaxProfileBytes) {
        why = "larger than a profile can be (" + std::to_string(MaxProfileBytes) + " bytes)";
        return std::nullopt;
    }
    const std::optional<QJsonObject> object = json::parseObject(QByteArray(bytes.data(), qsizetype(bytes.size())), &why);
    if (!object) return std::nullopt;
    SettingsProfile profile;
    const std::optional<int64_t> family = json::wholeNumber(object->value("family"));
    const QJsonValue settings = object->value("settings");
    if (!family || !settings.isObject()) {
        why = "not a settings profile: it needs a \"family\" model code and a \"settings\" object";
        return std::nullopt;
    }
    profile.family = *family;
    for (const auto& [key, member] : {std::pair{"model", &profile.model}, std::pair{"firmware", &profile.firmware}}) {
        if (!object->contains(key)) continue;
        const std::optional<std::string> text = json::exactText(object->value(key));
        if (!text) {
            why = "\"" + std::string(key) + "\" is not a text";
            return std::nullopt;
        }
        *member = *text;
    }
    const QJsonObject values = settings.toObject();
    for (auto it = values.begin(); it != values.end(); ++it) {
        if (!controlName(it.key())) {
            why = "a setting is named by its control (letters, digits and _), not by \"" + *json::shownText(it.key()) + "\"";
            return std::nullopt;
        }
        const std::optional<ControlValue> value = fromJson(it.value());
        if (!value) {
            why = "the setting \"" + it.key().toStdString() + "\" is not a text, true or false, or a whole number";
            return std::nullopt;
        }
        profile.settings.push_back({it.key().toStdString(), *value});
    }
    return profile;
}

std::optional<SettingsProfile> readProfileFile(const std::filesystem::path& path, std::string& why) {
    std::ifstream in(path, std::ios::binary);
    std::error_code error;
    if (!in || std::filesystem::is_directory(path, error)) {
        why = "cannot be read";
        return std::nullopt;
    }
    // One byte more than the limit tells a file that is too large, however large it is.
    std::string bytes(MaxProfileBytes + 1, '\0');
    in.read(bytes.data(), std::streamsize(bytes.size()));
    if (in.bad()) {
        why = "cannot be read";
        return std::nullopt;
    }
    bytes.resize(size_t(in.gcount()));
    return decodeProfile(bytes, why);
}

} // namespace brelmont::toolbox
