#include "driver/ModelProfiles.h"

#include "common/ModelCodes.h"

namespace brelmont::driver {

namespace {

// One profile for every make-and-model text of the model table, so a queue made from any of them
// is found again as its model. Models whose code no job can name (Pim Jr, Kym, Marisolvance) write
// the job language of the model closest to them.
constexpr ModelProfile Profiles[] = {
    {"Orvin 200", "brelmont-orvin-200", model::Orvin, JobLanguage::Configuration, "PrinterType=Norrel", false, true, false, true},
    {"Orvin Color Ink", "brelmont-orvin-color-ink", model::OrvinColorTintBridge, JobLanguage::PjlModel, "OrvinColorTintBridge",
     true, true, false, true},
    {"Talmore 100", "brelmont-talmore-100", model::Orvin, JobLanguage::Configuration, "PrinterType=Norrel", false, false, false,
     true},
    {"Merriden", "brelmont-merriden", model::Merriden, JobLanguage::PjlModel, "Merriden", false, true},
    {"Merriden Color Ink", "brelmont-merriden-color-ink", model::MerridenTintBridge, JobLanguage::PjlModel,
     "MerriColorTintBridge", true, true},
    {"Fenwa", "brelmont-fenwa", model::Merriden, JobLanguage::PjlModel, "Merriden", false, true},
    {"Valdo Sheet", "brelmont-valdo-sheet", model::Valdo, JobLanguage::PjlModel, "Valdo", false, true, true},
    {"Valdo Trac", "brelmont-valdo-trac", model::Valdo, JobLanguage::PjlModel, "Valdo", false, true, true, false, true},
    {"Tessaline 30RT", "brelmont-tessaline-30rt", model::Tessaline, JobLanguage::PjlModel, "Tessaline 30RT", false, false, false,
     false, true},
    {"Quorrin", "brelmont-quorrin", model::Quorrin, JobLanguage::MarkedBlock, "", false, false, false, false, true},
    {"Pim Jr", "brelmont-pim-jr", model::PimJr, JobLanguage::SummedBlock3, ""},
    {"Pim", "brelmont-pim", model::Pim, JobLanguage::SummedBlock3, ""},
    {"Kym", "brelmont-kym", model::Kym, JobLanguage::SummedBlock3, ""},
    {"Marisolvance", "brelmont-marisolvance", model::Vesk, JobLanguage::SummedBlock4, ""},
    {"Vesk Ink", "brelmont-vesk-ink", model::VeskInk, JobLanguage::SummedBlock4, "", true},
};

} // namespace

std::span<const ModelProfile> modelProfiles() { return Profiles; }

const ModelProfile* profileByMakeAndModel(std::string_view makeAndModel) {
    for (const ModelProfile& profile : Profiles)
        if (profile.makeAndModel == makeAndModel) return &profile;
    return nullptr;
}

int64_t positionsPerInch(const ModelProfile& profile) {
    return profile.language == JobLanguage::PjlModel || profile.language == JobLanguage::Configuration ? 100 : 20;
}

} // namespace brelmont::driver
