// Byte values shared by the escape-sequence languages of a job (the embosser's own and PCL3GUI).
#pragma once

#include <cstdint>

namespace brelmont::job {

struct JobLanguage {
    static constexpr int64_t GroupPercent = 37;          // "%"
    static constexpr int64_t GroupAmpersand = 38;        // "&"
    static constexpr int64_t GroupApostrophe = 39;       // "'"
    static constexpr int64_t GroupLeftParenthesis = 40;  // "("
    static constexpr int64_t GroupRightParenthesis = 41; // ")"
    static constexpr int64_t GroupAsterisk = 42;         // "*"
    static constexpr int64_t GroupPlus = 43;             // "+"
    static constexpr int64_t GroupNeg = 45;              // "-"

    static constexpr int64_t ParamBeginRasterMode = 65; // "A"
    static constexpr int64_t ParamEndRasterMode = 67;   // "C"
    static constexpr int64_t ParamDensity = 68;         // "D"
    static constexpr int64_t ParamMediaType = 77;       // "M"
    static constexpr int64_t ParamCompression = 77;     // "M"
    static constexpr int64_t ParamQuality = 77;         // "M"
    static constexpr int64_t ParamBrailleForce = 80;    // "P"
    static constexpr int64_t ParamR = 82;               // "R"
    static constexpr int64_t ParamDuplex = 83;          // "S"
    static constexpr int64_t ParamWidth = 83;           // "S"
    static constexpr int64_t ParamHeight = 84;          // "T"
    static constexpr int64_t ParamV = 86;               // "V"
    static constexpr int64_t ParamW = 87;               // "W"
    static constexpr int64_t ParamUEL = 88;             // "X"
    static constexpr int64_t ParamY = 89;               // "Y"

    static constexpr int64_t CommandA = 97;  // "a"
    static constexpr int64_t CommandB = 98;  // "b"
    static constexpr int64_t CommandG = 103; // "g"
    static constexpr int64_t CommandL = 108; // "l"
    static constexpr int64_t CommandO = 111; // "o"
    static constexpr int64_t CommandR = 114; // "r"
    static constexpr int64_t CommandT = 116; // "t"
    static constexpr int64_t CommandU = 117; // "u"

    static constexpr int64_t NewLine = 10;
    static constexpr int64_t FormFeed = 12;
    static constexpr int64_t CarriageReturn = 13;
    static constexpr int64_t Escape = 27;
    static constexpr int64_t At = 64; // "@", the start of a PJL line

    // The universal exit: ESC "%-12345X".
    static constexpr int64_t UniversalExitValue = -12345;

    // A lower-case terminator chains another value under the same group and parameter.
    static bool chainsAnother(int terminator) { return (terminator & 0x20) != 0; }
    static int commandLetter(int terminator) { return terminator & ~0x20; }
};

} // namespace brelmont::job
