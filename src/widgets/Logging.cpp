#include "widgets/Logging.h"

namespace brelmont {
Q_LOGGING_CATEGORY(lcApp, "brelmont.app", QtWarningMsg)
Q_LOGGING_CATEGORY(lcToolbox, "brelmont.toolbox", QtWarningMsg)
Q_LOGGING_CATEGORY(lcPreferences, "brelmont.preferences", QtWarningMsg)
Q_LOGGING_CATEGORY(lcFirmware, "brelmont.firmware", QtWarningMsg)
Q_LOGGING_CATEGORY(lcSendFile, "brelmont.sendfile", QtWarningMsg)
} // namespace brelmont
