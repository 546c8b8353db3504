#include "widgets/CoreText.h"

#include <QCoreApplication>

#include <string>

namespace brelmont::widgets {

QString translated(std::string_view text) { return QCoreApplication::translate("Brelmont", std::string(text).c_str()); }

} // namespace brelmont::widgets
