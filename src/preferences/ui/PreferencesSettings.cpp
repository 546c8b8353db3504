#include "preferences/ui/PreferencesSettings.h"

#include <QSettings>

namespace brelmont::preferences::ui {

namespace {

constexpr const char* Organisation = "Brelmont";
constexpr const char* Application = "Brelmont Companion";

QString read(const char* key) { return QSettings(Organisation, Application).value(key).toString(); }
void write(const char* key, const QString& value) { QSettings(Organisation, Application).setValue(key, value); }

} // namespace

QString lastQueueName() { return read("lastQueueName"); }
void setLastQueueName(const QString& queue) { write("lastQueueName", queue); }
QString lastPatternFile() { return read("lastPatternFile"); }
void setLastPatternFile(const QString& path) { write("lastPatternFile", path); }

} // namespace brelmont::preferences::ui
