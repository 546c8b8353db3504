// The Tessaline toolbox: numeric settings, media limits packed two to a variable, a setter that
// writes whole numbers and makes them stick, and a braille table slot of the user's own.
//
// Combo boxes whose items the window's layout holds (their counts are in the description):
// m_cbTable 19 (the embosser's 18 tables, then the user's table, the one m_bnInstallTable
// fills), m_cbBrailleDots 2 (6, 8), m_cbGraphics 2 (off, on), m_cbBrailleForce 3 (heavy, normal,
// light), m_cbLegacyMediaType 7 and m_cbMediaMediaType 7 (braille, light braille, plain, card
// stock, premium, synthetic, custom). m_cbPaperSize and m_cbPjlNames are filled by the engine.
#pragma once

#include "toolbox/FamilyDescription.h"

namespace brelmont::toolbox {

const FamilyDescription& tessalineFamily();

} // namespace brelmont::toolbox
