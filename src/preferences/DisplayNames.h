// The names the preferences window shows for option values the driver spells tersely.
#pragma once

#include <string>
#include <string_view>

namespace brelmont::preferences {

// The shown name of `value` of the option `key`; any value without a name is shown unchanged.
std::string displayName(std::string_view key, std::string_view value);

// ASCII lower case; other bytes stay as they are.
std::string lowerCase(std::string_view text);

} // namespace brelmont::preferences
