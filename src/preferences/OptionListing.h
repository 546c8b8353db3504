// Reading what "lpoptions" prints: the option listing ("-l") and a queue's assignments.
#pragma once

#include "preferences/PrintOption.h"
#include "printer/Assignments.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace brelmont::preferences {

// Every option of a "lpoptions -p QUEUE -l" listing, in output order; lines without a ":" or
// without a "/" in the part before it are skipped. Any input is safe.
std::vector<PrintOption> parseOptionListing(std::string_view listing);

using printer::assignmentValue;

// The seven application options taken from the queue's assignments, in their fixed order
// (collate, karro-preview, media only when it is a custom size, contrast, brightness, pattern
// file, output path), each with `selected` 0.
std::vector<PrintOption> applicationOptions(std::string_view assignments);

// The whole option list of a queue: the listing's options followed by the application options.
std::vector<PrintOption> buildOptionList(std::string_view listing, std::string_view assignments);

// The first option with this key; an empty option (selected -1) when there is none.
PrintOption findOption(const std::vector<PrintOption>& options, std::string_view key);

// A whole decimal integer with an optional sign and nothing else; none otherwise or on overflow.
std::optional<int64_t> parseDecimalInteger(std::string_view text);

// Trims blanks, tabs and line ends from both ends.
std::string_view trimWhiteSpace(std::string_view text);

} // namespace brelmont::preferences
