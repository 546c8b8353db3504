#include "sendfile/ui/SendLogging.h"

namespace brelmont::sendfile {
Q_LOGGING_CATEGORY(lcSendFile, "brelmont.sendfile")
} // namespace brelmont::sendfile
