#include "printer/ModelTable.h"

#include <initializer_list>

namespace brelmont::printer {

namespace {

struct ModelRow {
    std::initializer_list<std::string_view> texts; // all must occur
    int64_t code;
};

// Tried in order: longer make-and-model texts stand before the shorter ones they begin with, and
// a trailing ";" keeps a device ID from matching a longer model name.
const ModelRow ModelRows[] = {
    {{"MFG:Brelmont;MDL:Merriden;"}, 131201},
    {{"MFG:Brelmont;MDL:Fenwa;"}, 131201},
    {{"printer-make-and-model=Merriden Color Ink"}, 131207},
    {{"printer-make-and-model=Merriden"}, 131201},
    {{"printer-make-and-model=Fenwa"}, 131201},
    {{"MFG:Brelmont;MDL:Valdo"}, 121201},
    {{"printer-make-and-model=Valdo Sheet"}, 121201},
    {{"printer-make-and-model=Valdo Trac"}, 121201},
    {{"MFG:Brelmont;", "MDL:Tessaline 30RT;", ";S:0402"}, 20802},
    {{"printer-make-and-model=Tessaline 30RT"}, 20802},
    {{"MFG:Brelmont;MDL:Karro Orvin"}, 221201},
    {{"MFG:Brelmont;MDL:Karro Talmore"}, 221201},
    {{"printer-make-and-model=Orvin 200"}, 221201},
    {{"printer-make-and-model=Talmore 100"}, 221201},
    {{"MFG:Brelmont;MDL:Quorrin;"}, 80803},
    {{"printer-make-and-model=Quorrin"}, 80803},
    {{"MFG:Brelmont;MDL:Orvin Color TintBridge;"}, 221203},
    {{"printer-make-and-model=Orvin Color Ink"}, 221203},
    {{"MFG:Brelmont;MDL:Merriden Color TintBridge;"}, 131207},
    {{"MFG:Brelmont;MDL:Karro Kym;"}, 81402},
    {{"printer-make-and-model=Kym"}, 81402},
    {{"MFG:Brelmont;MDL:Karro Pim;"}, 80804},
    {{"printer-make-and-model=Pim Jr"}, 40802},
    {{"printer-make-and-model=Pim"}, 80804},
    {{"MFG:Brelmont;MDL:Karro Pim Jr"}, 40802},
    {{"MFG:Brelmont;MDL:Marisolvance;"}, 161704},
    {{"printer-make-and-model=Marisolvance"}, 161704},
    {{"MFG:Brelmont;MDL:Vesk Ink;"}, 161705},
    {{"printer-make-and-model=Vesk Ink"}, 161705},
};

struct ModelName {
    int64_t code;
    std::string_view name;
};

const ModelName ModelNames[] = {
    {20801, "Tessaline 30RT"}, {20802, "Tessaline 30RT"}, {40802, "Pim Jr."},
    {80803, "Quorrin"},        {80804, "Pim"},            {81402, "Kym"},
    {101201, "Talmore"},       {101202, "Talmore TintBridge"}, {121201, "Valdo Trac"},
    {121202, "Valdo Sheet"},   {131201, "Merriden"},      {131202, "Fenwa"},
    {131207, "Merriden TintBridge"}, {161704, "Vesk"},    {161705, "Vesk Ink"},
    {221201, "Orvin"},         {221202, "Orvin TintBridge"}, {221203, "Orvin Color TintBridge"},
};

} // namespace

int64_t modelCode(std::string_view text) {
    for (const ModelRow& row : ModelRows) {
        bool all = true;
        for (std::string_view t : row.texts) all = all && text.find(t) != std::string_view::npos;
        if (all) return row.code;
    }
    return 0;
}

std::optional<std::string> modelName(int64_t code) {
    for (const ModelName& m : ModelNames)
        if (m.code == code) return std::string(m.name);
    return std::nullopt;
}

} // namespace brelmont::printer
