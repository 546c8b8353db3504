// Fennick: settings are single bytes of a 128-byte NVRAM line, named by the parameter table;
// paper size in twentieths split into low and high bytes; an ink unit with black and colour pens;
// its firmware version also answers a fixed 16-byte binary request.
#include "../Family.h"

namespace brelmont::sim {

FamilyTable makeFennick() {
    FamilyTable f;
    f.name = "fennick";
    f.deviceId = "MFG:Brelmont;MDL:Quorrin;CMD:PJL;CLS:PRINTER;DES:Brelmont Quorrin;S:02041100;";
    f.nvramSize = 128;
    f.binaryVersionRequest = true;
    f.nvParams = {
        {"SENPULLUP", 22, 1},
        {"SOLVREF", 23, 128},
        {"SOL0", 24, 100},
        {"SOL1", 25, 102},
        {"SOL2", 26, 99},
        {"SOL3", 27, 101},
        {"SOL4", 28, 100},
        {"SOL5", 29, 98},
        {"SOL6", 30, 103},
        {"SOL7", 31, 100},
        {"BRAILLEPAPERMEDIAMIN", 32, 120},
        {"BRAILLEPAPERMEDIAMAX", 36, 180},
        {"LIGHTBRAILLEMEDIAMIN", 33, 90},
        {"LIGHTBRAILLEMEDIAMAX", 37, 120},
        {"COPYPAPERMEDIAMIN", 34, 60},
        {"COPYPAPERMEDIAMAX", 38, 90},
        {"CARDSTOCKMEDIAMIN", 35, 160},
        {"CARDSTOCKMEDIAMAX", 39, 250},
        {"BASEFORCE", 40, 140},
        {"VERTAMP", 41, 60},
        {"VERTSIGMA", 42, 12},
        {"VERTMAX", 43, 200},
        {"VERTMIN", 44, 20},
        {"VERTOFFSET", 45, 128},
        {"HORIZAMP", 46, 60},
        {"HORIZSIGMA", 47, 12},
        {"HORIZMAX", 48, 200},
        {"VAGROFFSET", 49, 0},
        {"HORIZOFFSET", 50, 128},
        {"TOPOFFSET", 55, 40},
        {"HPHORIZOFFSETL", 56, 44},
        {"HPHORIZOFFSETM", 57, 1},
        {"PRINTSKEW", 59, 0},
        {"CUSTOMMEDIAMAX", 60, 160},
        {"CUSTOMMEDIAMIN", 61, 100},
        {"ALIGNPOS", 62, 96},
        {"HOMEPOS", 63, 112},
        {"MIDDLEPOS", 64, 200},
        {"TEARDISTANCE", 65, 30},
        {"MPSENTHRES", 66, 80},
        {"HOMEFLAG", 67, 1},
        {"TABLE", 68, 1},
        {"CHARSWIDTH", 69, 32},
        {"AUTOCR", 70, 1},
        {"GRAPHICS", 71, 0},
        {"LINESLENGTH", 72, 25},
        {"BRAILLEDOTS", 73, 6},
        {"FORMLENGTHM", 74, 0},
        {"FORMLENGTHL", 75, 220},
        {"FORMWIDTHL", 76, 170},
        {"EXTRALINESPACE", 77, 0},
        {"LEFTMARGIN", 78, 10},
        {"TOPMARGIN", 79, 0},
        {"MEDIATYPE", 80, 0},
        {"BRAILLEFORCE", 81, 1},
        {"HPVERTOFFSET", 87, 20},
        {"FORMWIDTHM", 90, 0},
        {"DRYTIME", 91, 5},
    };
    f.versions = {
        {"MODEL", "Quorrin"},
        {"FIRMWARE", "2.4.17"},
        {"SERIALNUMBER", "QR1808D0415"},
        {"BOOTLOADER", "1.0.2"},
    };
    f.status = {
        {"CODE", "10001"},     {"DISPLAY", "READY"},   {"ONLINE", "TRUE"},       {"INKLEVELK", "71"},
        {"INKLEVELCMY", "58"}, {"PENERRORK", "10001"}, {"PENERRORCMY", "10001"},
    };
    f.legacy = {
        {"CHARSPERLINE", "32"},
        {"LINESPERPAGE", "25"},
    };
    f.sensors = {
        {"HOME", "1"}, {"PAPER", "1"}, {"MPSEN", "87"}, {"LV34", "34.2"}, {"OOPS", "0"}, {"HOUSING", "0"}, {"DUPLEXER", "1"},
    };
    return f;
}

} // namespace brelmont::sim
