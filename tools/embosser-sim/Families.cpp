// The factory state of each family: what the toolboxes and the firmware check read, with the
// values of a plausible embosser. Lists are written as "KEY=VALUE;KEY=VALUE".
#include "Family.h"

#include <algorithm>

namespace brelmont::sim {

namespace {

EntryList entries(std::string_view text) {
    EntryList out;
    for (size_t start = 0; start < text.size();) {
        const std::string_view entry = text.substr(start, text.find(';', start) - start);
        start += entry.size() + 1;
        const size_t eq = entry.find('=');
        out.push_back({std::string(entry.substr(0, eq)), std::string(entry.substr(eq + 1))});
    }
    return out;
}

std::string deviceId(const std::string& model, const std::string& tail = "") {
    return "MFG:Brelmont;MDL:" + model + ";CMD:PJL;CLS:PRINTER;DES:Brelmont " + model + ";" + tail;
}

// Orvin and its colour twin Ivra: settings as words, lengths in twentieths of an inch, a network
// page, an ink module with two cartridges; only the device ID tells the model. Its ";S:" field
// carries the firmware version 1.4.2 as three little-endian digit pairs.
FamilyTable orvin(std::string name, const std::string& model) {
    return {std::move(name),
            deviceId(model, "S:00204010;"),
            {entries("MODEL=Orvin 200;SERIALNUMBER=ORV2207A0142;MACPHY=00:1B:A9:4C:21:07;DHCP=OFF;IPADDRESS=192.168.1.120;"
                     "SUBNET=255.255.255.0;GATEWAY=192.168.1.1;FORMWIDTH=170;FORMHEIGHT=220;TOPMARGIN=10;LEFTMARGIN=10;"
                     "RIGHTMARGIN=10;EXTRALINESPACE=0;AUTOCR=ON;QUALITY=STANDARD;BRAILLEDOTS=6;GRAPHICS=OFF;TABLE=0;"
                     "BRAILLEFORCE=NORMAL;DUPLEXMODE=LONGEDGE;BRAILLEPAPERMEDIAMIN=120;BRAILLEPAPERMEDIAMAX=180;"
                     "LIGHTBRAILLEMEDIAMIN=90;LIGHTBRAILLEMEDIAMAX=120;COPYPAPERMEDIAMIN=60;COPYPAPERMEDIAMAX=90;"
                     "PREMIUMPAPERMEDIAMIN=90;PREMIUMPAPERMEDIAMAX=120;CARDSTOCKMEDIAMIN=160;CARDSTOCKMEDIAMAX=250;"
                     "CUSTOMMEDIAMIN=100;CUSTOMMEDIAMAX=160;FLAGS=1;PRIMARYCARRIAGE=1;INKTOPMARGIN=12;INKLEFTMARGIN=8;"
                     "INKSKEW=0;INKCARTSPACE=540"),
             entries("FIRMWARE=1.4.2;FWPRIMARY=1.4.2;FWSECONDARY=1.0.9;BOOTLOADER=1.0.3;SIAFW=2.1.0;SIASN=SIA1904B0311"),
             entries("CODE=10001;DISPLAY=READY;ONLINE=TRUE;PAGECOUNT=1843;INKHEALTH0=4095;INKHEALTH1=4095;INKLEVEL0=82;"
                     "INKLEVEL1=64"),
             entries("MEDIATYPE=BRAILLE;CHARSPERLINE=32;LINESPERPAGE=25;PAGENUMBERING=OFF"),
             entries("PAPER0=1;PAPER1=0;HOME0=1;HOME1=1;MPSEN0=412;MPSEN1=398;TEMP0=31;TEMP1=30;VSUPPLY=24.1;"
                     "HOUSING=CLOSED;SIASEN=1")},
            {}};
}

// Tessaline: settings as numbers, lengths in twentieths of an inch, media limits packed as
// upper × 256 + lower, firmware version in the legacy list, a braille table slot. The ";S:0402"
// field marks the 30RT; "04020000" would mean a device that cannot tell its version.
FamilyTable tessaline() {
    return {"tessaline",
            deviceId("Tessaline 30RT", "S:04020423;"),
            {entries("MODEL=Tessaline 30RT;SERIALNUMBER=TS30-0418-2291;FORMWIDTH=166;FORMHEIGHT=234;TOPMARGIN=0;"
                     "LEFTMARGIN=10;RIGHTMARGIN=0;LINESPACING=0;AUTOCR=1;BRAILLEDOTS=6;GRAPHICS=0;TABLE=1;BRAILLEFORCE=1;"
                     "MEDIATYPE=12;BRAILLEMEDIA=46200;LIGHTBRAILLEMEDIA=30810;PLAINMEDIA=23100;CARDSTOCKMEDIA=64160;"
                     "PREMIUMMEDIA=30810;SYNTHETICMEDIA=51300;CUSTOMMEDIA=5130;SKEW=0"),
             entries("FIRMWARE=4.2.3;BOOTLOADER=1.2.0"), entries("CODE=10001;DISPLAY=READY;ONLINE=TRUE;PAGECOUNT=5120"),
             entries("FIRMWARE=4.2.3;CHARSPERLINE=32;LINESPERPAGE=27"),
             entries("HOMEFLAG=1;GAPFLAG=0;PAPER=1;PAPERFLAG=0;PANEL=0;SOLTEMPERATURE0=34")},
            {}};
}

// Valdo and its twin Merriden: settings as words, paper size in 720ths of an inch, margins in
// twentieths, edge clearance in hundredths, media limits in separately named variables (kinds 0
// to 6 as MEDIAMIN/MEDIAMAX, the numbered custom kinds 8 to 16 as MEDIAMINF/MEDIAMAXF). Merriden
// keeps each limit twice, for the front and for the back (MEDIAMINB/MEDIAMAXB).
FamilyTable valdo(std::string name, const std::string& model, const std::string& serial, const std::string& mac,
                  const std::string& ip, bool back) {
    FamilyTable f{std::move(name),
                  deviceId(model),
                  {entries("MODEL=" + model + ";SERIALNUMBER=" + serial + ";MACPHY=" + mac + ";DHCP=ON;IPADDRESS=" + ip +
                           ";SUBNET=255.255.255.0;GATEWAY=192.168.1.1;PAPERWIDTH=6120;PAPERLENGTH=7920;TOPMARGIN=0;"
                           "LEFTMARGIN=20;RIGHTMARGIN=0;EXTRALINESPACE=0;CHARSWIDTH=32;LINESLENGTH=25;AUTOCR=ON;"
                           "QUALITY=STANDARD;BRAILLEDOTS=6;GRAPHICS=OFF;SPACING=MARBURG;BRAILLETABLE=EN_US;"
                           "BRAILLEFORCE=NORMAL;OUTPUTFACE=0;DUPLEXMODE=LONGEDGE;MEDIATYPE=BRAILLE"),
                   entries("FWPRIMARY=2.3.1;FWSECONDARY=1.1.4;BOOTLOADER=1.0.7"),
                   entries("CODE=10001;DISPLAY=READY;ONLINE=TRUE;PAGECOUNT=22610"),
                   entries("EMULATION=NONE;CHARSPERLINE=32;LINESPERPAGE=25"),
                   entries("PAPER=1;PICKUP=0;HOME=1;PANELBTNS=0;BOARDTEMP=36;SOLENOIDTEMP=41;CARRIAGETEMP=33")},
                  {}};
    const EntryList limits = entries(
        "BRAILLEPAPER=120 180;LIGHTBRAILLE=90 120;COPYPAPER=60 90;PREMIUMPAPER=90 120;"
        "CARDSTOCK=160 250;SYNTHETIC=100 200;CUSTOM=100 160");
    for (int k = 0; k < 16; ++k) {
        const Entry& l = limits[size_t(std::min(k, 6))];
        const std::string prefix = k <= 6 ? l.key : "CUSTOM" + std::to_string(k + 1), front = k <= 6 ? "" : "F";
        const std::string min = l.value.substr(0, l.value.find(' ')), max = l.value.substr(l.value.find(' ') + 1);
        f.lists[Variables].push_back({prefix + "MEDIAMIN" + front, min});
        f.lists[Variables].push_back({prefix + "MEDIAMAX" + front, max});
        if (back) f.lists[Variables].insert(f.lists[Variables].end(), {{prefix + "MEDIAMINB", min}, {prefix + "MEDIAMAXB", max}});
    }
    const EntryList calibration = entries("PAPSTEPSPERINCH=1440;HOMEPOS=112;PAPERSENSEPOS=236;SKEW=250;EDGECLEARANCE=25");
    f.lists[Variables].insert(f.lists[Variables].end(), calibration.begin(), calibration.end());
    return f;
}

// Fennick: settings are single bytes of the NVRAM line, named by the parameter table (NAME:BYTE=
// factory value); paper size in twentieths split into low and high bytes; an ink unit with black and
// colour pens; its firmware version also answers a fixed 16-byte binary request.
FamilyTable fennick() {
    FamilyTable f{"fennick",
                  deviceId("Quorrin", "S:02041100;"),
                  {EntryList{}, entries("MODEL=Quorrin;FIRMWARE=2.4.17;SERIALNUMBER=QR1808D0415;BOOTLOADER=1.0.2"),
                   entries("CODE=10001;DISPLAY=READY;ONLINE=TRUE;INKLEVELK=71;INKLEVELCMY=58;PENERRORK=10001;PENERRORCMY=10001"),
                   entries("CHARSPERLINE=32;LINESPERPAGE=25"),
                   entries("HOME=1;PAPER=1;MPSEN=87;LV34=34.2;OOPS=0;HOUSING=0;DUPLEXER=1")},
                  {},
                  true};
    for (const Entry& e :
         entries("SENPULLUP:22=1;SOLVREF:23=128;SOL0:24=100;SOL1:25=102;SOL2:26=99;SOL3:27=101;SOL4:28=100;SOL5:29=98;"
                 "SOL6:30=103;SOL7:31=100;BRAILLEPAPERMEDIAMIN:32=120;BRAILLEPAPERMEDIAMAX:36=180;LIGHTBRAILLEMEDIAMIN:33=90;"
                 "LIGHTBRAILLEMEDIAMAX:37=120;COPYPAPERMEDIAMIN:34=60;COPYPAPERMEDIAMAX:38=90;CARDSTOCKMEDIAMIN:35=160;"
                 "CARDSTOCKMEDIAMAX:39=250;BASEFORCE:40=140;VERTAMP:41=60;VERTSIGMA:42=12;VERTMAX:43=200;VERTMIN:44=20;"
                 "VERTOFFSET:45=128;HORIZAMP:46=60;HORIZSIGMA:47=12;HORIZMAX:48=200;VAGROFFSET:49=0;HORIZOFFSET:50=128;"
                 "TOPOFFSET:55=40;HPHORIZOFFSETL:56=44;HPHORIZOFFSETM:57=1;PRINTSKEW:59=0;CUSTOMMEDIAMAX:60=160;"
                 "CUSTOMMEDIAMIN:61=100;ALIGNPOS:62=96;HOMEPOS:63=112;MIDDLEPOS:64=200;TEARDISTANCE:65=30;MPSENTHRES:66=80;"
                 "HOMEFLAG:67=1;TABLE:68=1;CHARSWIDTH:69=32;AUTOCR:70=1;GRAPHICS:71=0;LINESLENGTH:72=25;BRAILLEDOTS:73=6;"
                 "FORMLENGTHM:74=0;FORMLENGTHL:75=220;FORMWIDTHL:76=170;EXTRALINESPACE:77=0;LEFTMARGIN:78=10;TOPMARGIN:79=0;"
                 "MEDIATYPE:80=0;BRAILLEFORCE:81=1;HPVERTOFFSET:87=20;FORMWIDTHM:90=0;DRYTIME:91=5")) {
        const size_t colon = e.key.find(':');
        f.nvParams.push_back({e.key.substr(0, colon), std::stoi(e.key.substr(colon + 1)), std::stoi(e.value)});
    }
    return f;
}

const std::vector<FamilyTable>& families() {
    static const std::vector<FamilyTable> all{
        orvin("orvin", "Karro Orvin"),
        orvin("ivra", "Orvin Color TintBridge"),
        tessaline(),
        valdo("valdo", "Valdo Trac", "VT1911C0087", "00:1B:A9:52:0E:33", "192.168.1.130", false),
        valdo("merriden", "Merriden", "MD2003E0219", "00:1B:A9:61:7A:90", "192.168.1.140", true),
        fennick()};
    return all;
}

} // namespace

const FamilyTable* findFamily(std::string_view name) {
    for (const FamilyTable& f : families())
        if (f.name == name) return &f;
    return nullptr;
}

std::string familyNames() {
    std::string names;
    for (const FamilyTable& f : families()) names += (names.empty() ? "" : "|") + f.name;
    return names;
}

} // namespace brelmont::sim
