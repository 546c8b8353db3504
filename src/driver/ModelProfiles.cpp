#include "driver/ModelProfiles.h"

#include "common/ModelCodes.h"

#include <iterator>

namespace brelmont::driver {

namespace {

// One profile for every make-and-model text of the model table, so a queue made from any of them
// is found again as its model. Models whose code no job can name (Pim Jr, Kym, Marisolvance) write
// the job language of the model closest to them.
constexpr ModelProfile Profiles[] = {
    {"Orvin 200", "brelmont-orvin-200", model::Orvin, JobLanguage::Configuration, "PrinterType=Norrel", InkForm::None, true,
     false, true},
    {"Orvin Color Ink", "brelmont-orvin-color-ink", model::OrvinColorTintBridge, JobLanguage::PjlModel, "OrvinColorTintBridge",
     InkForm::Rows, true, false, true},
    {"Talmore 100", "brelmont-talmore-100", model::Orvin, JobLanguage::Configuration, "PrinterType=Norrel", InkForm::None, false,
     false, true},
    {"Merriden", "brelmont-merriden", model::Merriden, JobLanguage::PjlModel, "Merriden", InkForm::None, true},
    {"Merriden Color Ink", "brelmont-merriden-color-ink", model::MerridenTintBridge, JobLanguage::PjlModel,
     "MerriColorTintBridge", InkForm::Rows, true},
    {"Fenwa", "brelmont-fenwa", model::Merriden, JobLanguage::PjlModel, "Merriden", InkForm::None, true},
    {"Valdo Sheet", "brelmont-valdo-sheet", model::Valdo, JobLanguage::PjlModel, "Valdo", InkForm::None, true, true},
    {"Valdo Trac", "brelmont-valdo-trac", model::Valdo, JobLanguage::PjlModel, "Valdo", InkForm::None, true, true, false, true},
    {"Tessaline 30RT", "brelmont-tessaline-30rt", model::Tessaline, JobLanguage::PjlModel, "Tessaline 30RT", InkForm::None, false,
     false, false, true},
    // Its jobs carry the ink module's PCL3GUI blocks behind the same marked headers as its emboss blocks.
    {"Quorrin", "brelmont-quorrin", model::Quorrin, JobLanguage::MarkedBlock, "", InkForm::Pcl3gui, false, false, false, true},
    {"Pim Jr", "brelmont-pim-jr", model::PimJr, JobLanguage::SummedBlock3, ""},
    {"Pim", "brelmont-pim", model::Pim, JobLanguage::SummedBlock3, ""},
    {"Kym", "brelmont-kym", model::Kym, JobLanguage::SummedBlock3, ""},
    {"Marisolvance", "brelmont-marisolvance", model::Vesk, JobLanguage::SummedBlock4, ""},
    {"Vesk Ink", "brelmont-vesk-ink", model::VeskInk, JobLanguage::SummedBlock4, "", InkForm::OneBit},
};

// The MDL text of each profile's device ID, in the order of Profiles. Several profiles share a
// model code; this is what tells an attached Talmore 100 from an Orvin 200.
constexpr std::string_view DeviceModels[] = {
    "Karro Orvin",
    "Orvin Color TintBridge",
    "Karro Talmore",
    "Merriden",
    "Merriden Color TintBridge",
    "Fenwa",
    "Valdo",
    "Valdo Trac",
    "Tessaline 30RT",
    "Quorrin",
    "Karro Pim Jr",
    "Karro Pim",
    "Karro Kym",
    "Marisolvance",
    "Vesk Ink",
};
static_assert(std::size(DeviceModels) == std::size(Profiles));

// Whether `text` is `start`, or `start` followed by a blank and more.
bool beginsWithWord(std::string_view text, std::string_view start) {
    return text.substr(0, start.size()) == start && (text.size() == start.size() || text[start.size()] == ' ');
}

} // namespace

std::span<const ModelProfile> modelProfiles() { return Profiles; }

std::string_view deviceModelText(const ModelProfile& profile) { return DeviceModels[&profile - Profiles]; }

const ModelProfile* profileForDevice(int64_t code, std::string_view deviceModel) {
    const ModelProfile* first = nullptr;
    const ModelProfile* best = nullptr;
    for (const ModelProfile& profile : Profiles) {
        if (profile.code != code) continue;
        if (!first) first = &profile;
        const std::string_view text = deviceModelText(profile);
        if (beginsWithWord(deviceModel, text) && (!best || text.size() > deviceModelText(*best).size())) best = &profile;
    }
    return best ? best : first;
}

const ModelProfile* profileByMakeAndModel(std::string_view makeAndModel) {
    for (const ModelProfile& profile : Profiles)
        if (profile.makeAndModel == makeAndModel) return &profile;
    return nullptr;
}

int64_t positionsPerInch(const ModelProfile& profile) {
    return profile.language == JobLanguage::PjlModel || profile.language == JobLanguage::Configuration ? 100 : 20;
}

} // namespace brelmont::driver
