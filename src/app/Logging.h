// Diagnostics of the application shell (preview hand-off, shared folder, documents), for
// QT_LOGGING_RULES; the windows never write to standard output.
#pragma once

#include <QLoggingCategory>

namespace brelmont::app {
Q_DECLARE_LOGGING_CATEGORY(lcApp)
} // namespace brelmont::app
