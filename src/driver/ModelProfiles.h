// What the driver knows of each model a queue can be made for: the make-and-model text that names
// it (the PPD's NickName, which discovery identifies), how its jobs are written, at which emboss
// resolution, and which options its PPD offers.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace brelmont::driver {

// How a job names the model and carries its emboss pages.
enum class JobLanguage {
    PjlModel,      // PJL JOB line with MODEL="...", rasters of rows at 100 positions per inch
    Configuration, // a configuration text (PrinterType=...), rasters of rows at 100 positions per inch
    MarkedBlock,   // binary emboss blocks behind marked headers, 20 positions per inch
    SummedBlock3,  // binary emboss blocks behind headers checked by their sum plus 3
    SummedBlock4,  // the same, sum plus 4
};

// How a model's ink module takes its pages, if it has one.
enum class InkForm {
    None,
    Pcl3gui, // a PCL3GUI block behind a marked header: colour rows or a black plane, 300 dpi
    Rows,    // the job language's own RGB raster of rows, 300 dpi
    OneBit,  // binary one-bit ink blocks, 100 dpi: black only
};

struct ModelProfile {
    std::string_view makeAndModel; // the PPD's NickName and ModelName
    std::string_view fileName;     // the PPD's file name, without ".ppd"
    int64_t code;                  // the model code discovery gives this make-and-model
    JobLanguage language;
    std::string_view naming;     // the PJL model text or the configuration text
    InkForm ink = InkForm::None; // with an ink module: print mode, colour, ink quality, dithering
    bool duplex = false;         // embosses interpoint
    bool outputFace = false;
    bool dotQuality = false;
    bool tractor = false; // fanfold paper: tractor sizes
};

std::span<const ModelProfile> modelProfiles();
// The profile whose make-and-model text is `makeAndModel`; none for any other text.
const ModelProfile* profileByMakeAndModel(std::string_view makeAndModel);

// Of the profiles with model code `code`, the one an embosser naming itself `deviceModel` (the MDL
// text of its device ID) is: the profile with the longest device model text that `deviceModel`
// equals or begins with as a whole word, else the first of that code. None for a code no profile has.
const ModelProfile* profileForDevice(int64_t code, std::string_view deviceModel);
// The model text by which an embosser of this profile (one of modelProfiles()) names itself in its
// device ID.
std::string_view deviceModelText(const ModelProfile& profile);

// Emboss positions per inch of the model's rasters.
int64_t positionsPerInch(const ModelProfile& profile);

} // namespace brelmont::driver
