// Orvin and its colour twin Ivra: settings as words, lengths in twentieths of an inch, a network
// page, an ink module with two cartridges. The two answer alike; only the device ID, which tells
// the model, differs.
#include "../Family.h"

namespace brelmont::sim {

namespace {
// The ";S:" field carries the firmware version 1.4.2 as three little-endian digit pairs.
FamilyTable orvinFamily(std::string name, std::string model) {
    FamilyTable f;
    f.name = std::move(name);
    f.deviceId = "MFG:Brelmont;MDL:" + model + ";CMD:PJL;CLS:PRINTER;DES:Brelmont " + model + ";S:00204010;";
    f.variables = {
        {"MODEL", "Orvin 200"},
        {"SERIALNUMBER", "ORV2207A0142"},
        {"MACPHY", "00:1B:A9:4C:21:07"},
        {"DHCP", "OFF"},
        {"IPADDRESS", "192.168.1.120"},
        {"SUBNET", "255.255.255.0"},
        {"GATEWAY", "192.168.1.1"},
        {"FORMWIDTH", "170"},
        {"FORMHEIGHT", "220"},
        {"TOPMARGIN", "10"},
        {"LEFTMARGIN", "10"},
        {"RIGHTMARGIN", "10"},
        {"EXTRALINESPACE", "0"},
        {"AUTOCR", "ON"},
        {"QUALITY", "STANDARD"},
        {"BRAILLEDOTS", "6"},
        {"GRAPHICS", "OFF"},
        {"TABLE", "0"},
        {"BRAILLEFORCE", "NORMAL"},
        {"DUPLEXMODE", "LONGEDGE"},
        {"BRAILLEPAPERMEDIAMIN", "120"},
        {"BRAILLEPAPERMEDIAMAX", "180"},
        {"LIGHTBRAILLEMEDIAMIN", "90"},
        {"LIGHTBRAILLEMEDIAMAX", "120"},
        {"COPYPAPERMEDIAMIN", "60"},
        {"COPYPAPERMEDIAMAX", "90"},
        {"PREMIUMPAPERMEDIAMIN", "90"},
        {"PREMIUMPAPERMEDIAMAX", "120"},
        {"CARDSTOCKMEDIAMIN", "160"},
        {"CARDSTOCKMEDIAMAX", "250"},
        {"CUSTOMMEDIAMIN", "100"},
        {"CUSTOMMEDIAMAX", "160"},
        {"FLAGS", "1"},
        {"PRIMARYCARRIAGE", "1"},
        {"INKTOPMARGIN", "12"},
        {"INKLEFTMARGIN", "8"},
        {"INKSKEW", "0"},
        {"INKCARTSPACE", "540"},
    };
    f.versions = {
        {"FIRMWARE", "1.4.2"},   {"FWPRIMARY", "1.4.2"}, {"FWSECONDARY", "1.0.9"},
        {"BOOTLOADER", "1.0.3"}, {"SIAFW", "2.1.0"},     {"SIASN", "SIA1904B0311"},
    };
    f.status = {
        {"CODE", "10001"},      {"DISPLAY", "READY"},   {"ONLINE", "TRUE"},  {"PAGECOUNT", "1843"},
        {"INKHEALTH0", "4095"}, {"INKHEALTH1", "4095"}, {"INKLEVEL0", "82"}, {"INKLEVEL1", "64"},
    };
    f.legacy = {
        {"MEDIATYPE", "BRAILLE"},
        {"CHARSPERLINE", "32"},
        {"LINESPERPAGE", "25"},
        {"PAGENUMBERING", "OFF"},
    };
    f.sensors = {
        {"PAPER0", "1"}, {"PAPER1", "0"}, {"HOME0", "1"},      {"HOME1", "1"},        {"MPSEN0", "412"}, {"MPSEN1", "398"},
        {"TEMP0", "31"}, {"TEMP1", "30"}, {"VSUPPLY", "24.1"}, {"HOUSING", "CLOSED"}, {"SIASEN", "1"},
    };
    return f;
}
} // namespace

FamilyTable makeOrvin() { return orvinFamily("orvin", "Karro Orvin"); }
FamilyTable makeIvra() { return orvinFamily("ivra", "Orvin Color TintBridge"); }

} // namespace brelmont::sim
