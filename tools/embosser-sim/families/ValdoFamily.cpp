// Valdo and its twin Merriden: settings as words, paper size in 720ths of an inch, margins in
// twentieths, edge clearance in hundredths, media limits in separately named variables. Merriden
// keeps each limit twice, for the front and for the back.
#include "../Family.h"

namespace brelmont::sim {

namespace {
struct Limit {
    const char* prefix;
    int min;
    int max;
};

// Media kinds 0 to 6 use MEDIAMIN/MEDIAMAX, the numbered custom kinds MEDIAMINF/MEDIAMAXF.
const Limit kLimits[] = {
    {"BRAILLEPAPER", 120, 180}, {"LIGHTBRAILLE", 90, 120}, {"COPYPAPER", 60, 90},  {"PREMIUMPAPER", 90, 120},
    {"CARDSTOCK", 160, 250},    {"SYNTHETIC", 100, 200},   {"CUSTOM", 100, 160},   {"CUSTOM8", 100, 160},
    {"CUSTOM9", 100, 160},      {"CUSTOM10", 100, 160},    {"CUSTOM11", 100, 160}, {"CUSTOM12", 100, 160},
    {"CUSTOM13", 100, 160},     {"CUSTOM14", 100, 160},    {"CUSTOM15", 100, 160}, {"CUSTOM16", 100, 160},
};

struct Identity {
    const char* family;
    const char* mdl;
    const char* model;
    const char* serial;
    const char* mac;
    const char* ip;
    bool backLimits;
};

FamilyTable valdoFamily(const Identity& id) {
    FamilyTable f;
    f.name = id.family;
    f.deviceId = std::string("MFG:Brelmont;MDL:") + id.mdl + ";CMD:PJL;CLS:PRINTER;DES:Brelmont " + id.mdl + ";";
    f.variables = {
        {"MODEL", id.model},       {"SERIALNUMBER", id.serial}, {"MACPHY", id.mac},         {"DHCP", "ON"},
        {"IPADDRESS", id.ip},      {"SUBNET", "255.255.255.0"}, {"GATEWAY", "192.168.1.1"}, {"PAPERWIDTH", "6120"},
        {"PAPERLENGTH", "7920"},   {"TOPMARGIN", "0"},          {"LEFTMARGIN", "20"},       {"RIGHTMARGIN", "0"},
        {"EXTRALINESPACE", "0"},   {"CHARSWIDTH", "32"},        {"LINESLENGTH", "25"},      {"AUTOCR", "ON"},
        {"QUALITY", "STANDARD"},   {"BRAILLEDOTS", "6"},        {"GRAPHICS", "OFF"},        {"SPACING", "MARBURG"},
        {"BRAILLETABLE", "EN_US"}, {"BRAILLEFORCE", "NORMAL"},  {"OUTPUTFACE", "0"},        {"DUPLEXMODE", "LONGEDGE"},
        {"MEDIATYPE", "BRAILLE"},
    };
    for (size_t k = 0; k < std::size(kLimits); ++k) {
        const Limit& l = kLimits[k];
        const std::string p = l.prefix;
        const char* front = k <= 6 ? "" : "F";
        f.variables.push_back({p + "MEDIAMIN" + front, std::to_string(l.min)});
        f.variables.push_back({p + "MEDIAMAX" + front, std::to_string(l.max)});
        if (id.backLimits) {
            f.variables.push_back({p + "MEDIAMINB", std::to_string(l.min)});
            f.variables.push_back({p + "MEDIAMAXB", std::to_string(l.max)});
        }
    }
    const EntryList calibration = {
        {"PAPSTEPSPERINCH", "1440"}, {"HOMEPOS", "112"}, {"PAPERSENSEPOS", "236"}, {"SKEW", "250"}, {"EDGECLEARANCE", "25"},
    };
    f.variables.insert(f.variables.end(), calibration.begin(), calibration.end());
    f.versions = {
        {"FWPRIMARY", "2.3.1"},
        {"FWSECONDARY", "1.1.4"},
        {"BOOTLOADER", "1.0.7"},
    };
    f.status = {
        {"CODE", "10001"},
        {"DISPLAY", "READY"},
        {"ONLINE", "TRUE"},
        {"PAGECOUNT", "22610"},
    };
    f.legacy = {
        {"EMULATION", "NONE"},
        {"CHARSPERLINE", "32"},
        {"LINESPERPAGE", "25"},
    };
    f.sensors = {
        {"PAPER", "1"},      {"PICKUP", "0"},        {"HOME", "1"},          {"PANELBTNS", "0"},
        {"BOARDTEMP", "36"}, {"SOLENOIDTEMP", "41"}, {"CARRIAGETEMP", "33"},
    };
    return f;
}
} // namespace

FamilyTable makeValdo() {
    return valdoFamily({"valdo", "Valdo Trac", "Valdo Trac", "VT1911C0087", "00:1B:A9:52:0E:33", "192.168.1.130", false});
}

FamilyTable makeMerriden() {
    return valdoFamily({"merriden", "Merriden", "Merriden", "MD2003E0219", "00:1B:A9:61:7A:90", "192.168.1.140", true});
}

} // namespace brelmont::sim
