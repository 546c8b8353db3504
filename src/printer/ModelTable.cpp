#include "printer/ModelTable.h"

#include "common/ModelCodes.h"

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
    {{"MFG:Brelmont;MDL:Merriden;"}, model::Merriden},
    {{"MFG:Brelmont;MDL:Fenwa;"}, model::Merriden},
    {{"printer-make-and-model=Merriden Color Ink"}, model::MerridenTintBridge},
    {{"printer-make-and-model=Merriden"}, model::Merriden},
    {{"printer-make-and-model=Fenwa"}, model::Merriden},
    {{"MFG:Brelmont;MDL:Valdo"}, model::Valdo},
    {{"printer-make-and-model=Valdo Sheet"}, model::Valdo},
    {{"printer-make-and-model=Valdo Trac"}, model::Valdo},
    {{"MFG:Brelmont;", "MDL:Tessaline 30RT;", ";S:0402"}, model::Tessaline},
    {{"printer-make-and-model=Tessaline 30RT"}, model::Tessaline},
    {{"MFG:Brelmont;MDL:Karro Orvin"}, model::Orvin},
    {{"MFG:Brelmont;MDL:Karro Talmore"}, model::Orvin},
    {{"printer-make-and-model=Orvin 200"}, model::Orvin},
    {{"printer-make-and-model=Talmore 100"}, model::Orvin},
    {{"MFG:Brelmont;MDL:Quorrin;"}, model::Quorrin},
    {{"printer-make-and-model=Quorrin"}, model::Quorrin},
    {{"MFG:Brelmont;MDL:Orvin Color TintBridge;"}, model::OrvinColorTintBridge},
    {{"printer-make-and-model=Orvin Color Ink"}, model::OrvinColorTintBridge},
    {{"MFG:Brelmont;MDL:Merriden Color TintBridge;"}, model::MerridenTintBridge},
    {{"MFG:Brelmont;MDL:Karro Kym;"}, model::Kym},
    {{"printer-make-and-model=Kym"}, model::Kym},
    {{"MFG:Brelmont;MDL:Karro Pim;"}, model::Pim},
    {{"printer-make-and-model=Pim Jr"}, model::PimJr},
    {{"printer-make-and-model=Pim"}, model::Pim},
    {{"MFG:Brelmont;MDL:Karro Pim Jr"}, model::PimJr},
    {{"MFG:Brelmont;MDL:Marisolvance;"}, model::Vesk},
    {{"printer-make-and-model=Marisolvance"}, model::Vesk},
    {{"MFG:Brelmont;MDL:Vesk Ink;"}, model::VeskInk},
    {{"printer-make-and-model=Vesk Ink"}, model::VeskInk},
};

struct ModelName {
    int64_t code;
    std::string_view name;
};

const ModelName ModelNames[] = {
    {model::Tessaline30RT, "Tessaline 30RT"},
    {model::Tessaline, "Tessaline 30RT"},
    {model::PimJr, "Pim Jr."},
    {model::Quorrin, "Quorrin"},
    {model::Pim, "Pim"},
    {model::Kym, "Kym"},
    {model::Talmore, "Talmore"},
    {model::TalmoreTintBridge, "Talmore TintBridge"},
    {model::Valdo, "Valdo Trac"},
    {model::ValdoSheet, "Valdo Sheet"},
    {model::Merriden, "Merriden"},
    {model::Fenwa, "Fenwa"},
    {model::MerridenTintBridge, "Merriden TintBridge"},
    {model::Vesk, "Vesk"},
    {model::VeskInk, "Vesk Ink"},
    {model::Orvin, "Orvin"},
    {model::OrvinTintBridge, "Orvin TintBridge"},
    {model::OrvinColorTintBridge, "Orvin Color TintBridge"},
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
