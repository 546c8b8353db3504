#include "app/Logging.h"

namespace brelmont::app {
Q_LOGGING_CATEGORY(lcApp, "brelmont.app")
} // namespace brelmont::app
