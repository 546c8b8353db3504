#include "printer/ModelTable.h"

#include <gtest/gtest.h>

using namespace brelmont::printer;

// The model code of queue, listing and device-ID texts. (The names shown for the codes are seen
// through brelmont-cli printers, status and the profiles.)
TEST(ModelTable, CodesFromTheirTexts) {
    // clang-format off
    for (const auto& [text, code] : std::initializer_list<std::pair<std::string, int64_t>>{
             {"printer-make-and-model=Merriden Color Ink", 131207}, {"printer-make-and-model=Merriden", 131201},
             {"printer-make-and-model=Pim Jr", 40802}, {"printer-make-and-model=Pim", 80804},
             // Each family's own queue name is pinned end to end by FirmwareSim's version rows.
             {"printer-make-and-model=Orvin Color Ink", 221203}, {"printer-make-and-model=Acme LaserBlaster 9", 0},
             {"direct usb://Brelmont/Karro%20Orvin \"Brelmont Karro Orvin\" \"x\" \"MFG:Brelmont;MDL:Karro Orvin 2;\" \"\"", 221201},
             {"MFG:Brelmont;MDL:Karro Pim Jr;", 40802}, {"MFG:Brelmont;MDL:Karro Pim;", 80804}, // "MDL:Karro Pim;" needs its ";"
             {"MFG:Brelmont;MDL:Tessaline 30RT;CMD:PJL;S:0402;", 20802},
             {"MFG:Brelmont;MDL:Tessaline 30RT;CMD:PJL;", 0}, // all three texts needed
             {"MFG:Brelmont;MDL:Merriden Color TintBridge;", 131207}, {"MFG:Brelmont;MDL:Vesk Ink;", 161705},
             {"mfg:brelmont;mdl:valdo", 0}, {"", 0}}) // case matters
        EXPECT_EQ(modelCode(text), code) << text;
    // clang-format on
}
