// Tessaline: settings as numbers, lengths in twentieths of an inch, media limits packed as
// upper × 256 + lower, firmware version in the legacy list, a braille table slot.
#include "../Family.h"

namespace brelmont::sim {

namespace {
std::string limits(int lower, int upper) { return std::to_string(upper * 256 + lower); }
} // namespace

FamilyTable makeTessaline() {
    FamilyTable f;
    f.name = "tessaline";
    // The ";S:0402" field marks the 30RT; "04020000" would mean a device that cannot tell its version.
    f.deviceId = "MFG:Brelmont;MDL:Tessaline 30RT;CMD:PJL;CLS:PRINTER;DES:Brelmont Tessaline 30RT;S:04020423;";
    f.variables = {
        {"MODEL", "Tessaline 30RT"},
        {"SERIALNUMBER", "TS30-0418-2291"},
        {"FORMWIDTH", "166"},
        {"FORMHEIGHT", "234"},
        {"TOPMARGIN", "0"},
        {"LEFTMARGIN", "10"},
        {"RIGHTMARGIN", "0"},
        {"LINESPACING", "0"},
        {"AUTOCR", "1"},
        {"BRAILLEDOTS", "6"},
        {"GRAPHICS", "0"},
        {"TABLE", "1"},
        {"BRAILLEFORCE", "1"},
        {"MEDIATYPE", "12"},
        {"BRAILLEMEDIA", limits(120, 180)},
        {"LIGHTBRAILLEMEDIA", limits(90, 120)},
        {"PLAINMEDIA", limits(60, 90)},
        {"CARDSTOCKMEDIA", limits(160, 250)},
        {"PREMIUMMEDIA", limits(90, 120)},
        {"SYNTHETICMEDIA", limits(100, 200)},
        {"CUSTOMMEDIA", limits(10, 20)},
        {"SKEW", "0"},
    };
    f.versions = {
        {"FIRMWARE", "4.2.3"},
        {"BOOTLOADER", "1.2.0"},
    };
    f.status = {
        {"CODE", "10001"},
        {"DISPLAY", "READY"},
        {"ONLINE", "TRUE"},
        {"PAGECOUNT", "5120"},
    };
    f.legacy = {
        {"FIRMWARE", "4.2.3"},
        {"CHARSPERLINE", "32"},
        {"LINESPERPAGE", "27"},
    };
    f.sensors = {
        {"HOMEFLAG", "1"}, {"GAPFLAG", "0"}, {"PAPER", "1"}, {"PAPERFLAG", "0"}, {"PANEL", "0"}, {"SOLTEMPERATURE0", "34"},
    };
    return f;
}

} // namespace brelmont::sim
