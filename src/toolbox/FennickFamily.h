// The Quorrin toolbox (model 80803): settings are bytes of the embosser's NVRAM, named by a
// parameter table; paper sides and the ink unit's horizontal offset span two bytes each; an ink
// unit with black and colour pens; braille tables go into one of seven slots.
//
// Combo boxes whose items the window's layout holds (their counts are in the description):
// m_cbTable 7 (table slots 0 to 6; the one chosen is in use and takes downloads),
// m_cbBrailleDots 2 (6, 8), m_cbGraphics 2 (off, on), m_cbBrailleForce 3 (heavy, normal, light),
// m_cbLegacyMediaType 5 and m_cbMediaMediaType 5 (braille, light braille, copy paper, card stock,
// custom). m_cbPaperSize and m_cbPjlNames are filled by the engine.
#pragma once

#include "toolbox/FamilyDescription.h"

namespace brelmont::toolbox {

const FamilyDescription& fennickFamily();

} // namespace brelmont::toolbox
