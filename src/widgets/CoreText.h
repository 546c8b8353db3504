// A fixed text of the core (marked with BRELMONT_TRANSLATABLE) in the user's language; any other
// text, one the core put together, comes back as it is.
#pragma once

#include <QString>

#include <string_view>

namespace brelmont::widgets {

QString translated(std::string_view text);

} // namespace brelmont::widgets
