// Which of the maker's models a text names: a queue's make-and-model line or a device ID.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace brelmont::printer {

// The model code of the first table row whose texts all occur in `text`; 0 when none does.
int64_t modelCode(std::string_view text);

// The display name of a model code, where it has one.
std::optional<std::string> modelName(int64_t code);

} // namespace brelmont::printer
