// Quoting of values inserted into command lines that a shell runs. A value made only of safe
// characters is inserted as it stands, so ordinary command lines stay as they have always been;
// any other value is single-quoted so that it reaches the program as one literal argument.
#pragma once

#include <string>
#include <string_view>

namespace brelmont::printer {

// A value standing alone as a word: `lpoptions -p QUEUE`.
std::string shellWord(std::string_view value);

// A value that the command line writes in double quotes: `lpr ... "PATH"`.
std::string shellDoubleQuoted(std::string_view value);

// A value that the command line writes in single quotes: `'RES/pjlhelper'`.
std::string shellSingleQuoted(std::string_view value);

} // namespace brelmont::printer
