// The Valdo toolbox and its twin Merriden, which keeps every media limit twice: for the front
// and for the back of the sheet.
//
// Combo boxes whose items the window's layout holds (their counts are in the description):
// m_cbQuality 3 (draft, standard, best), m_cbBrailleDots 2 (6, 8), m_cbGraphics 2 (off, on),
// m_cbSpacing 6 (Marburg, Library of Congress, US national library, micro, Korean, jumbo),
// m_cbBrailleForce 3 (heavy, normal, light), m_cbOutputFace 2 (face down, face up),
// m_cbDuplex 2 (simplex, long edge), m_cbLegacyMediaType 16 and m_cbMediaMediaType 16 (braille,
// light braille, plain/copy paper, premium, card stock, Chinese/synthetic, custom, custom 8 to
// custom 16). m_cbPaperSize and m_cbPjlNames are filled by the engine.
#pragma once

#include "toolbox/FamilyDescription.h"

namespace brelmont::toolbox {

const FamilyDescription& valdoFamily();
const FamilyDescription& merridenFamily();

} // namespace brelmont::toolbox
