// Diagnostics of the send windows and the test page, for QT_LOGGING_RULES.
#pragma once

#include <QLoggingCategory>

namespace brelmont::sendfile {
Q_DECLARE_LOGGING_CATEGORY(lcSendFile)
} // namespace brelmont::sendfile
