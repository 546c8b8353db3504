#include "preferences/ui/PreferencesLogging.h"

namespace brelmont::preferences::ui {
Q_LOGGING_CATEGORY(lcPreferences, "brelmont.preferences")
} // namespace brelmont::preferences::ui
