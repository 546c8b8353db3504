// The Orvin toolbox and its twin Ivra (the same window for model code 221203).
//
// Combo boxes whose items the window's layout holds (their counts are in the description):
// m_cbQuality 3 (draft, standard, best), m_cbBrailleDots 2 (6, 8), m_cbGraphics 2 (off, on),
// m_cbBrailleForce 3 (heavy, normal, light), m_cbDuplex 2 (simplex, long edge),
// m_cbLegacyMediaType 6 and m_cbMediaMediaType 6 (braille, light braille, plain/copy paper,
// premium, card stock, custom). m_cbPaperSize and m_cbPjlNames are filled by the engine.
#pragma once

#include "toolbox/FamilyDescription.h"

namespace brelmont::toolbox {

const FamilyDescription& orvinFamily();
const FamilyDescription& ivraFamily();

} // namespace brelmont::toolbox
