#include "printer/ModelTable.h"

#include <gtest/gtest.h>

using namespace brelmont::printer;

TEST(ModelTable, Codes) {
    struct Case { std::string text; int64_t code; };
    const Case cases[] = {
        {"printer-make-and-model=Merriden Color Ink", 131207},
        {"printer-make-and-model=Merriden", 131201},
        {"printer-make-and-model=Pim Jr", 40802},
        {"printer-make-and-model=Pim", 80804},
        {"printer-make-and-model=Orvin 200", 221201},
        {"printer-make-and-model=Orvin Color Ink", 221203},
        {"printer-make-and-model=Valdo Sheet", 121201},
        {"printer-make-and-model=Tessaline 30RT", 20802},
        {"printer-make-and-model=Quorrin", 80803},
        {"printer-make-and-model=Acme LaserBlaster 9", 0},
        {"direct usb://Brelmont/Karro%20Orvin \"Brelmont Karro Orvin\" \"x\" \"MFG:Brelmont;MDL:Karro Orvin 2;\" \"\"", 221201},
        {"MFG:Brelmont;MDL:Karro Pim Jr;", 40802},   // "MDL:Karro Pim;" needs its ";"
        {"MFG:Brelmont;MDL:Karro Pim;", 80804},
        {"MFG:Brelmont;MDL:Tessaline 30RT;CMD:PJL;S:0402;", 20802},
        {"MFG:Brelmont;MDL:Tessaline 30RT;CMD:PJL;", 0}, // row 9 needs all three texts
        {"MFG:Brelmont;MDL:Merriden Color TintBridge;", 131207},
        {"MFG:Brelmont;MDL:Vesk Ink;", 161705},
        {"mfg:brelmont;mdl:valdo", 0}, // case matters
        {"", 0},
    };
    for (const Case& c : cases) EXPECT_EQ(modelCode(c.text), c.code) << c.text;
}

TEST(ModelTable, Names) {
    EXPECT_EQ(modelName(40802), "Pim Jr.");
    EXPECT_EQ(modelName(221203), "Orvin Color TintBridge");
    EXPECT_EQ(modelName(20801), "Tessaline 30RT");
    EXPECT_EQ(modelName(1), std::nullopt);
}
