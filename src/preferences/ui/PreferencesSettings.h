// The two per-user defaults of the preferences window.
#pragma once

#include <QString>

namespace brelmont::preferences::ui {

QString lastQueueName();
void setLastQueueName(const QString& queue);
QString lastPatternFile();
void setLastPatternFile(const QString& path);

} // namespace brelmont::preferences::ui
