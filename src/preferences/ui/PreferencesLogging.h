// Diagnostics of the preferences window, for QT_LOGGING_RULES.
#pragma once

#include <QLoggingCategory>

namespace brelmont::preferences::ui {
Q_DECLARE_LOGGING_CATEGORY(lcPreferences)
} // namespace brelmont::preferences::ui
